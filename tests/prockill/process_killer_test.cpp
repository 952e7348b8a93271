#include <linux/sched.h>
#include <signal.h>
#include <sched.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <cstring>

#include "prockill/ProcessSnapshot.h"
#include "prockill/Unit5.h"
#include "tests/support/forms_fixture.h"

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
    std::filesystem::copy_file("/bin/sleep", victim_);
    std::filesystem::permissions(victim_, std::filesystem::perms::owner_all);
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
  Form5->lister->selectRow(row);  // the old row: the id now names another process
  Form5->Button1Click();
  QTest::qWait(50);
  EXPECT_EQ(::waitpid(second, nullptr, WNOHANG), 0);
  EXPECT_EQ(::kill(second, 0), 0);
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
  std::size_t handles = platform::OpenHandleCount();
  for (int i = 0; i < 1000; ++i) Form5->Button3Click();
  // the number of processes may change a little while the test runs
  EXPECT_NEAR(static_cast<double>(OpenDescriptors()), static_cast<double>(fds), 10);
  EXPECT_NEAR(static_cast<double>(platform::OpenHandleCount()), static_cast<double>(handles), 10);
}

}  // namespace
