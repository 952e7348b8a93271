#include "dialogs/folder_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include <chrono>
#include <thread>

#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/spawn.h"
#include "tests/support/temp_root.h"

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

TEST_F(FolderLock, AFolderGoneSinceItsLockLeavesTheList) {
  ASSERT_EQ(LockFolder(folder_.string()), "");
  ::chmod(folder_.c_str(), 0700);
  fs::remove_all(folder_);
  EXPECT_EQ(UnlockFolder(folder_.string()), "");
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
  EXPECT_GT(platform::ShellExecuteA(0, "open", script.c_str(), parameters.c_str(), nullptr, platform::SW_SHOWNORMAL), 32);
  for (int i = 0; i < 100 && Mode(spaced) != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Mode(spaced), 0u);
  ::chmod(spaced.c_str(), 0700);
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
