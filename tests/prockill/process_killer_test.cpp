#include <fcntl.h>
#include <grp.h>
#include <linux/sched.h>
#include <signal.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "framework/edit_combo.h"
#include "prockill/ProcessSnapshot.h"
#include "prockill/Unit5.h"
#include "skin/SkinManager.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/without_capability.h"

namespace {

// A fake snapshot: the entries the next walk delivers.
std::vector<std::pair<DWORD, std::string>> fakeEntries;
std::size_t fakeNext = 0;

BOOL FakeNext(HANDLE, platform::PROCESSENTRY32* e) {
  if (fakeNext >= fakeEntries.size()) return FALSE_;
  e->th32ProcessID = fakeEntries[fakeNext].first;
  std::strncpy(e->szExeFile, fakeEntries[fakeNext].second.c_str(), sizeof e->szExeFile - 1);
  ++fakeNext;
  return TRUE_;
}
BOOL FakeFirst(HANDLE snapshot, platform::PROCESSENTRY32* e) {
  fakeNext = 0;
  return FakeNext(snapshot, e);
}
HANDLE FakeSnapshot(DWORD, DWORD) { return 1; }

class ProcessKiller : public FormsTest {
 protected:
  void SetUp() override {
    CreateForms();
    Form5->show();  // opened once: its controls are built
    Form5->hide();
  }
  void TearDown() override {
    SetToolhelp32Api(real_);
    platform::SetProcRoot({});
    for (pid_t pid : children_) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    FormsTest::TearDown();
  }

  void UseFake(std::vector<std::pair<DWORD, std::string>> entries) {
    fakeEntries = std::move(entries);
    SetToolhelp32Api({FakeSnapshot, FakeFirst, FakeNext});
  }

  // A sleeping child whose executable has a name no other process has.
  pid_t StartVictim(const std::string& name) {
    victim_ = root.dir() / name;
    if (!std::filesystem::exists(victim_)) {
      std::filesystem::copy_file("/bin/sleep", victim_);
      std::filesystem::permissions(victim_, std::filesystem::perms::owner_all);
    }
    pid_t pid = ::fork();
    if (pid == 0) {
      ::execl(victim_.c_str(), name.c_str(), "60", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    children_.push_back(pid);
    // wait until the child runs the victim, not the test binary
    EXPECT_TRUE(QTest::qWaitFor([&] {
      std::error_code ec;
      return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec) == victim_;
    }));
    return pid;
  }

  QStringList Names() const {
    QStringList names;
    for (int r = 0; r < Form5->lister->rowCount(); ++r) names << Form5->lister->item(r, 0)->text();
    return names;
  }

  int RowOf(const QString& name) const { return static_cast<int>(Names().indexOf(name)); }

  // Whether the process sleeps untouched: no kill sent to it is pending,
  // being carried out or done. A SIGKILL is pending from the moment kill()
  // returns until the process, no longer asleep, acts on it.
  static bool AsleepAndUnhit(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    bool asleep = false;
    unsigned long long pending = 0;
    while (std::getline(status, line)) {
      if (line.rfind("State:\tS", 0) == 0) asleep = true;
      if (line.rfind("SigPnd:", 0) == 0 || line.rfind("ShdPnd:", 0) == 0)
        pending |= std::stoull(line.substr(7), nullptr, 16);
    }
    return asleep && (pending & (1ull << (SIGKILL - 1))) == 0;
  }

  bool Reaped(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return false;
    children_.erase(std::remove(children_.begin(), children_.end(), pid), children_.end());
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }

  std::filesystem::path victim_;
  std::vector<pid_t> children_;
  Toolhelp32 real_ = Toolhelp32Api();
};

TEST(ExeFileNameRule, WindowsAndLinuxPaths) {
  EXPECT_EQ(ExeFileName("C:\\WINDOWS\\explorer.exe"), "explorer.exe");
  EXPECT_EQ(ExeFileName("C:notepad.exe"), "notepad.exe");
  EXPECT_EQ(ExeFileName("notepad.exe"), "notepad.exe");
  EXPECT_EQ(ExeFileName("\\??\\C:\\WINDOWS\\system32\\smss.exe"), "smss.exe");
  EXPECT_EQ(ExeFileName("/usr/lib/firefox/firefox-bin"), "firefox-bin");
  EXPECT_EQ(ExeFileName("/opt/a:b/tool"), "tool");
  EXPECT_EQ(ExeFileName("[kworker/0:1H]"), "[kworker/0:1H]");
  // names from a command line are not paths: a process title keeps its colon
  EXPECT_EQ(ExeFileName("postgres: checkpointer"), "postgres: checkpointer");
  EXPECT_EQ(ExeFileName("sshd: alice [priv]"), "sshd: alice [priv]");
  EXPECT_EQ(ExeFileName(""), "");
}

TEST_F(ProcessKiller, TheWindowAsDesigned) {
  EXPECT_EQ(Form5->size(), QSize(387, 354));
  EXPECT_EQ(Form5->sButton3->text(), "Kill program");
  EXPECT_EQ(Form5->sButton2->text(), "Obnov procesy");
  EXPECT_EQ(Form5->sButton1->text(), "Zavři killera");
  EXPECT_EQ(Form5->lister->horizontalHeaderItem(0)->text(), "Program");
  EXPECT_EQ(Form5->lister->horizontalHeaderItem(1)->text(), "Číslo");
  EXPECT_EQ(Form5->lister->columnWidth(0), 265);
  EXPECT_TRUE(Form5->Timer1->Enabled());
  EXPECT_EQ(Form5->Timer1->Interval(), 10000u);
  EXPECT_FALSE(Form5->timerx->Enabled());
  EXPECT_EQ(Form5->timerx->Interval(), 2000u);
  // tab order: the list, then the three buttons left to right
  auto nextTabStop = [](QWidget* w) {
    do w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
    return w;
  };
  EXPECT_EQ(nextTabStop(Form5->lister), Form5->sButton3);
  EXPECT_EQ(nextTabStop(Form5->sButton3), Form5->sButton2);
  EXPECT_EQ(nextTabStop(Form5->sButton2), Form5->sButton1);
}

TEST_F(ProcessKiller, TheFirstEntryIsNeverListedAndTheOrderIsKept) {
  UseFake({{0, "[System Process]"}, {4, "System"}, {999999999, "C:\\WINDOWS\\explorer.exe"}, {7, "/usr/bin/bash"}});
  Form5->Button3Click();
  EXPECT_EQ(Names(), (QStringList{"System", "explorer.exe", "bash"}));
  // processes that cannot be opened show "0"
  EXPECT_EQ(Form5->lister->item(1, 1)->text(), "0");
}

TEST_F(ProcessKiller, KillProgramEndsTheChildAndTheListForgetsIt) {
  pid_t child = StartVictim("ovlix-victim-a");
  Form5->Button3Click();
  int row = RowOf("ovlix-victim-a");
  ASSERT_GE(row, 0);
  EXPECT_NE(Form5->lister->item(row, 1)->text(), "0");
  Form5->lister->selectRow(row);
  Form5->Button1Click();
  EXPECT_TRUE(Reaped(child));
  EXPECT_TRUE(Form5->timerx->Enabled());
  // closed at once: timerx still refreshes the list once, 2 s later
  EXPECT_FALSE(Form5->Visible());
  ASSERT_TRUE(QTest::qWaitFor([] { return !Form5->timerx->Enabled(); }, 4000));
  EXPECT_EQ(RowOf("ovlix-victim-a"), -1);
  EXPECT_GT(Form5->lister->rowCount(), 0);
}

TEST_F(ProcessKiller, ARowWithZeroAndNoSelectionKillNothing) {
  pid_t child = StartVictim("ovlix-victim-b");
  Form5->Button1Click();  // no selection
  EXPECT_FALSE(Form5->timerx->Enabled());
  UseFake({{0, "idle"}, {999999999, "gone.exe"}});
  Form5->Button3Click();
  Form5->lister->selectRow(0);
  Form5->Button1Click();
  EXPECT_EQ(::waitpid(child, nullptr, WNOHANG), 0);  // still running
  EXPECT_EQ(::kill(child, 0), 0);
}

// A process folder of a /proc-like tree; an empty `exe` leaves out the link,
// as the kernel does for a process whose executable the reader may not see.
void WriteProcess(const TempRoot& root, int pid, const std::string& exe, const std::string& stat,
                  const std::string& cmdline) {
  std::filesystem::path dir = root.dir() / "proc" / std::to_string(pid);
  root.Write(dir / "stat", stat);
  root.Write(dir / "cmdline", cmdline);
  if (!exe.empty()) std::filesystem::create_symlink(exe, dir / "exe");
}

TEST_F(ProcessKiller, OnlyKernelThreadsAreBracketedOthersAreNamedByTheirCommandLine) {
  using namespace std::string_literals;
  // ids past the kernel's largest: OpenProcess can reach no real process
  WriteProcess(root, 90000001, "/usr/lib/firefox/firefox-bin", "90000001 (firefox-bin) S 1 1 1 0 -1 4194304 0", "");
  // PF_KTHREAD (0x200000) in the flags, no command line
  WriteProcess(root, 90000002, "", "90000002 (kworker/0:1H-kblockd) I 2 0 0 0 -1 69238880 0 0", "");
  // another user's shell, whose command name is cut to 15 characters
  WriteProcess(root, 90000003, "", "90000003 (a-shell-with-a-l) S 1 3 3 34816 -1 4194560 0",
               "/opt/tools/a-shell-with-a-long-name\0--login\0"s);
  WriteProcess(root, 90000004, "", "90000004 (bash) S 1 4 4 0 -1 4194560 0", "-bash\0"s);
  // an empty command line (a zombie): the command name, blanks and parentheses kept
  WriteProcess(root, 90000005, "", "90000005 (odd) (name) Z 1 5 5 0 -1 4227084 0", "");
  WriteProcess(root, 90000006, "", "90000006 (postgres) S 1 6 6 0 -1 4194368 0", "postgres: checkpointer\0"s);
  WriteProcess(root, 90000008, "", "90000008 (sshd) S 1 8 8 0 -1 4194368 0", "sshd: alice@pts/0\0"s);
  std::filesystem::create_directories(root.dir() / "proc" / "90000007");  // ended while being read
  root.Write(root.dir() / "proc" / "self" / "stat", "1 (init) S 0 1 1 0 -1 4194560 0");
  platform::SetProcRoot(root.dir() / "proc");
  Form5->Button3Click();
  EXPECT_EQ(Names().join(" | ").toStdString(),
            "firefox-bin | [kworker/0:1H-kblockd] | a-shell-with-a-long-name | -bash | odd) (name | "
            "postgres: checkpointer | sshd: alice@pts/0");
}

TEST_F(ProcessKiller, AnotherUsersProcessIsNamedByItsCommandLine) {
  constexpr uid_t kNobody = 65534;
  if (::geteuid() == kNobody) GTEST_SKIP() << "the test runs as nobody, the other user it would start";
  const std::string argv0 = "/opt/ovlix-test/ovlix-sleeper-of-another-user";
  int failed[2];
  ASSERT_EQ(::pipe2(failed, O_CLOEXEC), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    // only calls that are safe after fork; the pipe closes at exec
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      int error = errno;
      (void)!::write(failed[1], &error, sizeof error);
      ::_exit(126);
    }
    ::execl("/bin/sleep", argv0.c_str(), "60", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  children_.push_back(pid);
  ::close(failed[1]);
  int error = 0;
  ssize_t got = ::read(failed[0], &error, sizeof error);
  ::close(failed[0]);
  if (got > 0) GTEST_SKIP() << "cannot start a process as another user (" << std::strerror(error) << "): needs root";
  ASSERT_TRUE(QTest::qWaitFor([&] {
    std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
    std::string first;
    std::getline(cmdline, first, '\0');
    return first == argv0;
  }));
  {
    // without it the executable of another user's process cannot be read
    WithoutCapability ordinaryUser({CAP_SYS_PTRACE});
    Form5->Button3Click();
  }
  EXPECT_GE(RowOf("ovlix-sleeper-of-another-user"), 0) << Names().join(", ").toStdString();
  EXPECT_EQ(RowOf("[sleep]"), -1);
}

// A process created with a chosen id, as clone3 allows a privileged caller.
pid_t SpawnWithPid(pid_t pid, const std::filesystem::path& exe) {
  clone_args args{};
  args.exit_signal = SIGCHLD;
  args.set_tid = reinterpret_cast<std::uintptr_t>(&pid);
  args.set_tid_size = 1;
  long rc = ::syscall(SYS_clone3, &args, sizeof args);
  if (rc == 0) {
    ::execl(exe.c_str(), exe.filename().c_str(), "60", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return static_cast<pid_t>(rc);
}

TEST_F(ProcessKiller, AReusedProcessIdIsNotHit) {
  pid_t first = StartVictim("ovlix-victim-c");
  Form5->Button3Click();
  int row = RowOf("ovlix-victim-c");
  ASSERT_GE(row, 0);
  ::kill(first, SIGKILL);
  ASSERT_TRUE(Reaped(first));
  pid_t second = SpawnWithPid(first, victim_);
  if (second < 0) GTEST_SKIP() << "this machine lets no one choose a process id";
  children_.push_back(second);
  ASSERT_EQ(second, first);
  ASSERT_TRUE(QTest::qWaitFor([&] { return AsleepAndUnhit(second); }));  // it has started its sleep
  Form5->lister->selectRow(row);  // the old row: the id now names another process
  Form5->Button1Click();          // a kill it sends is sent when this returns
  EXPECT_TRUE(AsleepAndUnhit(second));
  EXPECT_EQ(::waitpid(second, nullptr, WNOHANG), 0);
}

TEST_F(ProcessKiller, Timer1RefreshesOnlyAShownWindowAndDropsTheSelection) {
  UseFake({{0, "idle"}, {1, "a.exe"}});
  Form5->Button3Click();
  UseFake({{0, "idle"}, {1, "b.exe"}});
  Form5->Timer1Timer();
  EXPECT_EQ(Names(), QStringList{"a.exe"});
  Form5->show();  // a shown window refreshes at once
  EXPECT_EQ(Names(), QStringList{"b.exe"});
  Form5->lister->selectRow(0);
  UseFake({{0, "idle"}, {1, "c.exe"}});
  Form5->Timer1Timer();
  EXPECT_EQ(Names(), QStringList{"c.exe"});
  EXPECT_TRUE(Form5->lister->selectedItems().isEmpty());
  Form5->Open();  // already visible: returns at once, nothing else happens
  EXPECT_TRUE(Form5->Visible());
  Form5->Button2Click();
  EXPECT_FALSE(Form5->Visible());
}

std::size_t OpenDescriptors() {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

TEST_F(ProcessKiller, HandlesOfReplacedRowsAreReleased) {
  Form5->Button3Click();
  std::size_t fds = OpenDescriptors();
  // a handle a row, and those of the program's own; the number of the
  // machine's processes, and so of rows, may change while the test runs
  auto handlesBesideRows = [] {
    return platform::OpenHandleCount() - static_cast<std::size_t>(Form5->lister->rowCount());
  };
  std::size_t besideRows = handlesBesideRows();
  for (int i = 0; i < 1000; ++i) Form5->Button3Click();
  EXPECT_NEAR(static_cast<double>(OpenDescriptors()), static_cast<double>(fds), 10);
  EXPECT_EQ(handlesBesideRows(), besideRows);
}

// Many processes of the user's own under a low soft limit of open files:
// every refresh gives each of them its number, and the last row still kills.
TEST_F(ProcessKiller, EveryProcessGetsItsNumberWhateverTheLimitOfOpenFiles) {
  constexpr int kCrowd = 120;
  std::vector<pid_t> crowd;
  for (int i = 0; i < kCrowd; ++i) crowd.push_back(StartVictim("ovlix-crowd"));
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit low = saved;
  low.rlim_cur = OpenDescriptors() + 40;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  std::size_t fds = OpenDescriptors();
  int zeros = 0, rows = 0, last = -1;
  for (int refresh = 0; refresh < 3; ++refresh) {
    Form5->Button3Click();
    zeros = rows = 0;
    for (int r = 0; r < Form5->lister->rowCount(); ++r) {
      if (Form5->lister->item(r, 0)->text() != "ovlix-crowd") continue;
      ++rows;
      last = r;
      if (Form5->lister->item(r, 1)->text() == "0") ++zeros;
    }
    EXPECT_EQ(rows, kCrowd);
    EXPECT_EQ(zeros, 0) << "refresh " << refresh;
  }
  // a row holds no descriptor
  EXPECT_LE(OpenDescriptors(), fds + 5);
  ASSERT_GE(last, 0);
  Form5->lister->selectRow(last);
  Form5->Button1Click();
  ::setrlimit(RLIMIT_NOFILE, &saved);
  int killed = 0;
  EXPECT_TRUE(QTest::qWaitFor([&] {
    for (pid_t pid : crowd) {
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        killed += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        children_.erase(std::remove(children_.begin(), children_.end(), pid), children_.end());
      }
    }
    return killed > 0;
  }));
  EXPECT_EQ(killed, 1);
}

// The killer is handed the skin manager and the settings dialog's skin box,
// so it stands without the main window: each showing checks the saved skin
// against what it was handed, and against nothing else.
TEST(ProcessKillerSkin, ShowingAppliesTheSkinTheHandedBoxNames) {
  TempRoot root;
  root.Write(root.program() / "skins" / "Klasik" / "Options.dat", "[colors]\nwindow=#C0C0C0\n");
  root.Write(root.windows() / "Trelmo.ini", "[Nastaveni]\nskin=Klasik\n");
  TSkinManager skins;
  TEditCombo box(nullptr, QStringLiteral("ComboBox1"), QStringLiteral("Klasik"));
  {
    TForm5 killer(nullptr, skins, box);
    killer.show();
    EXPECT_EQ(skins.SkinName(), "Klasik");
    // the saved skin is the active one now: the box's text no longer counts
    box.SetText(TSkinManager::kBuiltIn);
    killer.hide();
    killer.show();
    EXPECT_EQ(skins.SkinName(), "Klasik");
  }
  skins.SetSkinName(TSkinManager::kBuiltIn);
}

}  // namespace
