#include "dialogs/folder_lock.h"
#include "dialogs/folder_lock_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/spawn.h"
#include "skin/SkinManager.h"
#include "tests/support/temp_root.h"
#include "tests/support/without_capability.h"

namespace fs = std::filesystem;

namespace {

unsigned Mode(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

class FolderLock : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = root.dir() / "tajné";
    fs::create_directories(folder_ / "uvnitř");
    ::chmod(folder_.c_str(), 0750);
  }
  TempRoot root;
  fs::path folder_;
};

TEST_F(FolderLock, ALockTakesEveryPermissionAndTheUnlockGivesThemBack) {
  EXPECT_EQ(LockFolder(folder_.string() + "/"), "");
  EXPECT_EQ(Mode(folder_), 0u);
  ASSERT_EQ(LockedFolders().size(), 1u);
  EXPECT_EQ(LockedFolders()[0].path, folder_.string());
  EXPECT_EQ(LockedFolders()[0].mode, 0750u);
  EXPECT_EQ(LockFolder(folder_.string()), "Složka " + folder_.string() + " už je zamčená.");
  EXPECT_EQ(UnlockFolder(folder_.string()), "");
  EXPECT_EQ(Mode(folder_), 0750u);
  EXPECT_TRUE(LockedFolders().empty());
  EXPECT_EQ(UnlockFolder(folder_.string()), "Složka " + folder_.string() + " není zamčená.");
}

TEST_F(FolderLock, FoldersTheSystemOrTheProgramNeedAreRefused) {
  fs::create_directories(root.program());
  fs::create_directories(root.config());
  for (const fs::path& p : {fs::path("/"), root.program(), root.dir(), root.config()}) {
    std::string error = LockFolder(p.string());
    EXPECT_NE(error.find("nelze zamknout"), std::string::npos) << p;
  }
  // a link to a refused folder is refused as the folder itself
  fs::create_directory_symlink(root.program(), folder_ / "odkaz");
  EXPECT_NE(LockFolder((folder_ / "odkaz").string()), "");
  EXPECT_NE(LockFolder((root.dir() / "není").string()), "");
  EXPECT_TRUE(LockedFolders().empty());
  EXPECT_EQ(Mode(root.program()) & 0700, 0700u);
}

// Installed, the program folder is <prefix>/lib/ovlix and the data the
// package ships lie in <prefix>/share/ovlix: neither they nor anything in
// them may be locked, or the lock script and the tips are out of reach.
TEST_F(FolderLock, TheProgramAndShareFoldersAreRefusedWithAllInside) {
  fs::path prefix = root.dir() / "usr";
  fs::path program = prefix / "lib" / "ovlix", share = prefix / "share" / "ovlix";
  fs::create_directories(program / "data" / "tipy");
  fs::create_directories(program / "skins" / "Noc");
  fs::create_directories(share / "tipy");
  std::string saved = platform::ProgramFolder();
  platform::SetProgramFolder(program.string() + "/");
  for (const fs::path& p : {program, program / "data", program / "data" / "tipy", program / "skins" / "Noc", share,
                            share / "tipy", prefix / "share", prefix}) {
    EXPECT_EQ(LockFolder(p.string()), "Složku " + p.string() + " nelze zamknout: potřebuje ji tento program.") << p;
    EXPECT_EQ(Mode(p) & 0700, 0700u) << p;
  }
  // beside them, folders are the user's
  fs::create_directories(prefix / "share" / "jiná");
  EXPECT_EQ(LockFolder((prefix / "share" / "jiná").string()), "");
  platform::SetProgramFolder(saved);
  EXPECT_EQ(LockedFolders().size(), 1u);
}

// A folder locked inside a folder locked after it cannot be reached by an
// ordinary user: the unlock says so and keeps the record that can give the
// folder back its permissions once the folder above is open.
TEST_F(FolderLock, AFolderInsideALockedOneTellsWhyItStaysLocked) {
  fs::path inner = folder_ / "uvnitř";
  ::chmod(inner.c_str(), 0705);
  ASSERT_EQ(LockFolder(inner.string()), "");
  ASSERT_EQ(LockFolder(folder_.string()), "");
  {
    WithoutCapability ordinaryUser({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER});
    EXPECT_EQ(UnlockFolder(inner.string()), "Složku " + inner.string() + " nelze odemknout: leží v zamčené složce " +
                                                folder_.string() + ". Nejdříve odemkněte tu.");
    EXPECT_EQ(LockedFolders().size(), 2u);
    EXPECT_EQ(UnlockFolder(folder_.string()), "");
    EXPECT_EQ(UnlockFolder(inner.string()), "");
  }
  EXPECT_EQ(Mode(inner), 0705u);
  EXPECT_EQ(Mode(folder_), 0750u);
  EXPECT_TRUE(LockedFolders().empty());
}

TEST_F(FolderLock, AFolderGoneSinceItsLockLeavesTheList) {
  ASSERT_EQ(LockFolder(folder_.string()), "");
  ::chmod(folder_.c_str(), 0700);
  fs::remove_all(folder_);
  EXPECT_EQ(UnlockFolder(folder_.string()), "");
  EXPECT_TRUE(LockedFolders().empty());
}

// Whatever bytes a folder's name holds (a line break, blanks, backslashes,
// bytes that are not UTF-8), the list names exactly that folder, on a line of
// its own, and unlock gives it back its permissions.
TEST_F(FolderLock, AnyFolderNameFitsTheList) {
  const std::string names[] = {
      "dva\nřádky", "mezery a konec ", " ",       "zpětné\\lomítko",     "\\n", "\\", "\xff\xfe bajty \x80",
      "konec\r",    "0700 číslo",      "\n0777 ", "# ovlix-folderlock 2"};
  std::vector<std::string> paths;
  unsigned mode = 0700;
  for (const std::string& name : names) {
    fs::path p = root.dir() / name;
    fs::create_directory(p);
    ::chmod(p.c_str(), mode++);
    paths.push_back(p.string());
    ASSERT_EQ(LockFolder(p.string()), "") << ListedPath(name);
    EXPECT_EQ(Mode(p), 0u);
  }
  std::vector<LockedFolder> listed = LockedFolders();
  ASSERT_EQ(listed.size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(listed[i].path, paths[i]) << ListedPath(paths[i]);
    EXPECT_EQ(listed[i].mode, 0700u + i);
  }
  std::string file = root.Read(root.config() / "folderlock" / "locked");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), static_cast<long>(paths.size()) + 1);
  for (std::size_t i = paths.size(); i-- > 0;) {
    EXPECT_EQ(UnlockFolder(paths[i]), "") << ListedPath(paths[i]);
    EXPECT_EQ(Mode(paths[i]), 0700u + i);
  }
  EXPECT_TRUE(LockedFolders().empty());
}

// A name made to look like a second entry of the list does not make one: the
// folder it imitates was never locked and keeps its permissions.
TEST_F(FolderLock, ALineBreakInANameAddsNoFolderToTheList) {
  fs::path other = root.dir() / "jiná";
  fs::create_directory(other);
  ::chmod(other.c_str(), 0700);
  fs::path tricky = root.dir() / "x\n0777 ";
  tricky += other;  // ".../x\n0777 " followed by the other folder's full path
  fs::create_directories(tricky);
  ::chmod(tricky.c_str(), 0750);
  ASSERT_EQ(LockFolder(tricky.string()), "");
  ASSERT_EQ(LockedFolders().size(), 1u);
  EXPECT_EQ(LockedFolders()[0].path, tricky.string());
  EXPECT_EQ(UnlockFolder(other.string()), "Složka " + other.string() + " není zamčená.");
  EXPECT_EQ(Mode(other), 0700u);
  EXPECT_EQ(UnlockFolder(tricky.string()), "");
  EXPECT_EQ(Mode(tricky), 0750u);
}

// A list as earlier versions wrote it (the path as it is, backslashes
// included) is read as before; its folders unlock, and the ones left keep
// their exact paths when the list is written anew.
TEST_F(FolderLock, AListOfTheOlderFormStillUnlocks) {
  fs::path slash = root.dir() / "zpětné\\n lomítko";
  fs::create_directory(slash);
  ::chmod(folder_.c_str(), 0);
  ::chmod(slash.c_str(), 0);
  root.Write(root.config() / "folderlock" / "locked",
             "750 " + folder_.string() + "\nnesmysl\n711 " + slash.string() + "\n");
  std::vector<LockedFolder> listed = LockedFolders();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[1].path, slash.string());
  EXPECT_EQ(listed[1].mode, 0711u);
  EXPECT_EQ(UnlockFolder(folder_.string()), "");
  EXPECT_EQ(Mode(folder_), 0750u);
  ASSERT_EQ(LockedFolders().size(), 1u);
  EXPECT_EQ(LockedFolders()[0].path, slash.string());
  EXPECT_EQ(UnlockFolder(slash.string()), "");
  EXPECT_EQ(Mode(slash), 0711u);
  EXPECT_TRUE(LockedFolders().empty());
}

TEST_F(FolderLock, AnEntryMangledByHandIsKeptWithItsMode) {
  // "\t" is no pair the list writes: the entry stays, as it stands
  root.Write(root.config() / "folderlock" / "locked", "# ovlix-folderlock 2\n700 /data/a\\tb\n");
  fs::path other = root.dir() / "other";
  fs::create_directory(other);
  EXPECT_EQ(LockFolder(other.string()), "");
  std::vector<LockedFolder> listed = LockedFolders();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].path, "/data/a\\tb");
  EXPECT_EQ(listed[0].mode, 0700u);
  EXPECT_EQ(UnlockFolder(other.string()), "");
}

// The system's folders, in a tree of its own that stands for "/".
class SystemFolders : public FolderLock {
 protected:
  void SetUp() override {
    FolderLock::SetUp();
    system_ = root.dir() / "systém";
    for (const char* p : {"etc/ssh",
                          "usr/bin",
                          "usr/lib/x86_64",
                          "usr/local/moje",
                          "var/lib/dpkg",
                          "var/tmp/moje",
                          "home/alice/dokumenty",
                          "tmp/moje",
                          "lib64/sub",
                          "libx32",
                          "proc/1",
                          "run/user/1000",
                          "boot/grub",
                          "dev/shm",
                          "sbin",
                          "sys/kernel",
                          "opt/app/data",
                          "srv/web",
                          "mnt/disk/data",
                          "root/data"})
      fs::create_directories(system_ / p);
    fs::create_directory_symlink("usr/bin", system_ / "bin");
    fs::create_directory_symlink("usr/lib", system_ / "lib");
    // a top folder kept on another disk
    fs::create_directories(root.dir() / "disk" / "data" / "moje");
    fs::create_directory_symlink(root.dir() / "disk" / "data", system_ / "data");
    home_ = root.dir() / "můj domov";
    fs::create_directories(home_ / "fotky");
    if (const char* home = std::getenv("HOME")) savedHome_ = home;
    ::setenv("HOME", home_.c_str(), 1);
    SetSystemRoot(system_);
  }
  void TearDown() override {
    SetSystemRoot({});
    if (savedHome_)
      ::setenv("HOME", savedHome_->c_str(), 1);
    else
      ::unsetenv("HOME");
  }
  // Refused with `why`, and left as it was.
  void ExpectRefused(const fs::path& p, const std::string& why) {
    unsigned before = Mode(p);
    std::string error = LockFolder(p.string());
    EXPECT_EQ(error, "Složku " + fs::canonical(p).string() + " nelze zamknout: " + why) << p;
    EXPECT_EQ(Mode(p), before) << p;
  }
  void ExpectLockable(const fs::path& p) {
    unsigned before = Mode(p);
    EXPECT_EQ(LockFolder(p.string()), "") << p;
    EXPECT_EQ(Mode(p), 0u) << p;
    EXPECT_EQ(UnlockFolder(p.string()), "") << p;
    EXPECT_EQ(Mode(p), before) << p;
  }
  static constexpr const char* kSystem =
      "je to systémová složka. Systémové složky nelze zamknout nikomu, ani správci systému (root).";
  static constexpr const char* kHome = "je to domovská složka uživatele.";
  fs::path system_, home_;
  std::optional<std::string> savedHome_;
};

TEST_F(SystemFolders, TheRootAndEachFolderInItAreRefused) {
  for (const char* p : {"", "home", "tmp", "srv", "mnt", "root", "data"}) ExpectRefused(system_ / p, kSystem);
  // what users keep inside them is theirs
  for (const char* p : {"tmp/moje", "srv/web", "mnt/disk/data", "root/data", "data/moje"}) ExpectLockable(system_ / p);
  EXPECT_TRUE(LockedFolders().empty());
}

TEST_F(SystemFolders, TheSystemTreesAreRefusedWhole) {
  for (const char* p : {"etc",        "etc/ssh",      "usr",           "usr/bin",   "usr/local", "usr/local/moje",
                        "var",        "var/lib/dpkg", "var/tmp",       "lib64/sub", "libx32",    "lib/x86_64",
                        "bin",        "proc/1",       "run/user/1000", "boot/grub", "dev/shm",   "sbin",
                        "sys/kernel", "opt/app/data"})
    ExpectRefused(system_ / p, kSystem);
  // the shared temporary folder is the system's, what is inside it is not
  ExpectLockable(system_ / "var/tmp/moje");
  EXPECT_TRUE(LockedFolders().empty());
}

TEST_F(SystemFolders, HomeFoldersAreRefusedTheirContentsNot) {
  ExpectRefused(home_, kHome);
  ExpectRefused(system_ / "home/alice", kHome);
  ExpectLockable(home_ / "fotky");
  ExpectLockable(system_ / "home/alice/dokumenty");
}

// Links and ".." are resolved before the folder is judged: they lead to the
// folder they name, and that one is refused.
TEST_F(SystemFolders, LinksAndDotDotLeadToTheRefusal) {
  fs::create_directory_symlink(system_ / "etc", folder_ / "odkaz");
  fs::create_directory_symlink("../../usr/local", system_ / "tmp/moje/místní");
  fs::create_directory_symlink(system_ / "var/tmp/moje", folder_ / "dočasná");
  const std::pair<std::string, fs::path> tricks[] = {
      {(folder_ / "odkaz").string(), system_ / "etc"},
      {(folder_ / "odkaz").string() + "/", system_ / "etc"},
      {(folder_ / "odkaz/ssh/..").string(), system_ / "etc"},
      // lexically this is the user's own folder, really it is the system root
      {(folder_ / "odkaz/..").string(), system_},
      {(system_ / "tmp/moje/../../etc/./ssh").string(), system_ / "etc/ssh"},
      {(system_ / "tmp/moje/místní").string(), system_ / "usr/local"},
      {(folder_ / "dočasná/..").string(), system_ / "var/tmp"},
      {(system_ / "home/alice/dokumenty/..").string(), system_ / "home/alice"},
  };
  for (const auto& [given, real] : tricks) {
    unsigned before = Mode(real);
    std::string error = LockFolder(given);
    EXPECT_EQ(error.find("Složku " + fs::canonical(real).string() + " nelze zamknout: "), 0u) << given << ": " << error;
    EXPECT_EQ(Mode(real), before) << given;
  }
  // a relative path from a system folder
  fs::path cwd = fs::current_path();
  fs::current_path(system_ / "usr/local");
  EXPECT_NE(LockFolder("../bin").find("nelze zamknout"), std::string::npos);
  EXPECT_NE(LockFolder(".").find("nelze zamknout"), std::string::npos);
  fs::current_path(cwd);
  EXPECT_TRUE(LockedFolders().empty());
}

// The shipped script starts the shipped tool with its arguments, as the
// shell's "open" does.
TEST_F(FolderLock, TheShippedScriptRunsTheTool) {
  std::string script = std::string(OVLIX_PROGRAM_FOLDER) + "data/kspass.vbs";
  ::setenv("XDG_CONFIG_HOME", root.dir().c_str(), 1);  // the tool's own root
  EXPECT_EQ(platform::RunAndWait({script, "lock", folder_.string()}), 0);
  EXPECT_EQ(Mode(folder_), 0u);
  EXPECT_EQ(platform::RunAndWait({script, "lock", "/"}), 1);
  EXPECT_EQ(platform::RunAndWait({script, "unlock", folder_.string()}), 0);
  EXPECT_EQ(Mode(folder_), 0750u);
  EXPECT_EQ(platform::RunAndWait({script, "nesmysl"}), 2);
  // the shell's "open" starts the script itself (a folder with a blank in
  // its name is one argument)
  fs::path spaced = root.dir() / "dvě slova";
  fs::create_directories(spaced);
  std::string parameters = "lock \"" + spaced.string() + "\"";
  EXPECT_GT(platform::ShellExecuteA(0, "open", script.c_str(), parameters.c_str(), nullptr, platform::SW_SHOWNORMAL),
            32);
  for (int i = 0; i < 100 && Mode(spaced) != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Mode(spaced), 0u);
  ::chmod(spaced.c_str(), 0700);
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace

// The lock tool is a program of its own: its folder chooser speaks Czech
// and its windows wear the skin saved in the settings, as Ovlix's do.
TEST(FolderLockTool, TheChooserSpeaksCzechAndTheWindowWearsTheSavedSkin) {
  TempRoot root;
  root.Write(root.program() / "skins" / "Noc" / "Options.dat", "[Colors]\nWindow=#102030\nWindowText=#F0F0F0\n");
  root.Write(root.windows() / "Trelmo.ini", "[Nastaveni]\nskin=Noc\n");
  WearProgramLook();
  FolderLockWindow window;
  window.show();
  QStringList texts;
  QColor background;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    for (auto* button : dialog->findChildren<QPushButton*>()) texts << button->text();
    for (auto* label : dialog->findChildren<QLabel*>()) texts << label->text();
    background = dialog->palette().color(QPalette::Window);
    dialog->reject();
  });
  window.Lock();
  EXPECT_TRUE(texts.contains("Zrušit") && texts.contains("Hledat v:")) << texts.join(" | ").toStdString();
  EXPECT_FALSE(texts.contains("Cancel")) << texts.join(" | ").toStdString();
  EXPECT_EQ(background, QColor(0x10, 0x20, 0x30));
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
  EXPECT_TRUE(LockedFolders().empty());
  TSkinManager().SetSkinName(TSkinManager::kBuiltIn);
}
