#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>

#include "actions/PowerGroup.h"
#include "actions/recycle_bin.h"
#include "platform/paths.h"
#include "platform/trash.h"
#include "tests/support/forms_fixture.h"

namespace fs = std::filesystem;

namespace {

class Trash : public FormsTest {
 protected:
  void SetUp() override {
    platform::SetDataHome(root.dir() / "data");
    platform::SetMountPoints({root.dir() / "volume"});
    fs::create_directories(root.dir() / "volume");
  }
  void TearDown() override {
    if (mounted_) ::umount2(mounted_->c_str(), MNT_DETACH);
    platform::SetDataHome({});
    platform::SetMountPoints({});
    FormsTest::TearDown();
  }

  // A trash with one of everything in it.
  void Fill(const fs::path& trash) {
    root.Write(trash / "files" / "a.txt", "a");
    root.Write(trash / "files" / "folder" / "deep" / "b.txt", "b");
    root.Write(trash / "info" / "a.txt.trashinfo", "[Trash Info]\nPath=/a.txt\n");
    root.Write(trash / "directorysizes", "4096 1 folder\n");
  }

  static bool Empty(const fs::path& folder) { return fs::is_directory(folder) && fs::is_empty(folder); }

  std::optional<fs::path> mounted_;
};

TEST_F(Trash, TheHomeTrashIsEmptiedAndNothingOutsideIsTouched) {
  fs::path trash = root.dir() / "data" / "Trash";
  Fill(trash);
  fs::path outside = root.dir() / "outside";
  root.Write(outside / "keep.txt", "precious");
  fs::create_symlink(outside / "keep.txt", trash / "files" / "link-to-file");
  fs::create_symlink(outside, trash / "files" / "link-to-folder");
  fs::create_directories(trash / "files" / "locked" / "inner");
  root.Write(trash / "files" / "locked" / "inner" / "c.txt", "c");
  fs::permissions(trash / "files" / "locked", fs::perms::owner_read | fs::perms::owner_exec);

  platform::SHEmptyRecycleBinA(nullptr, "", 7);

  EXPECT_TRUE(Empty(trash / "files"));
  EXPECT_TRUE(Empty(trash / "info"));
  EXPECT_FALSE(fs::exists(trash / "directorysizes"));
  EXPECT_EQ(root.Read(outside / "keep.txt"), "precious");
  EXPECT_TRUE(fs::exists(outside));
}

TEST_F(Trash, LinkedTrashFoldersAreLeftAlone) {
  fs::path elsewhere = root.dir() / "elsewhere";
  Fill(elsewhere);
  fs::create_directories(root.dir() / "data");
  fs::create_directory_symlink(elsewhere, root.dir() / "data" / "Trash");
  platform::SHEmptyRecycleBinA(nullptr, "", 7);
  EXPECT_EQ(root.Read(elsewhere / "files" / "a.txt"), "a");

  fs::remove(root.dir() / "data" / "Trash");
  fs::path trash = root.dir() / "data" / "Trash";
  fs::create_directories(trash / "info");
  root.Write(trash / "info" / "x.trashinfo", "x");
  fs::create_directory_symlink(elsewhere / "files", trash / "files");
  platform::SHEmptyRecycleBinA(nullptr, "", 7);
  EXPECT_EQ(root.Read(elsewhere / "files" / "a.txt"), "a");  // files/ is a link: untouched
  EXPECT_TRUE(Empty(trash / "info"));                        // info/ is real: emptied
}

TEST_F(Trash, VolumeTrashesFollowTheirRules) {
  fs::path volume = root.dir() / "volume";
  std::string uid = std::to_string(::getuid());
  Fill(volume / (".Trash-" + uid));
  Fill(volume / ".Trash" / uid);
  // a shared .Trash without the sticky bit is not to be trusted
  ::chmod((volume / ".Trash").c_str(), 0777);
  platform::SHEmptyRecycleBinA(nullptr, "", 7);
  EXPECT_TRUE(Empty(volume / (".Trash-" + uid) / "files"));
  EXPECT_EQ(root.Read(volume / ".Trash" / uid / "files" / "a.txt"), "a");

  ::chmod((volume / ".Trash").c_str(), 01777);
  platform::SHEmptyRecycleBinA(nullptr, "", 7);
  EXPECT_TRUE(Empty(volume / ".Trash" / uid / "files"));
  EXPECT_TRUE(Empty(volume / ".Trash" / uid / "info"));
}

TEST_F(Trash, RemovalStopsAtAnotherFileSystem) {
  fs::path trash = root.dir() / "data" / "Trash";
  Fill(trash);
  fs::path mountPoint = trash / "files" / "mounted";
  fs::create_directories(mountPoint);
  if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "no file system can be mounted here";
  mounted_ = mountPoint;
  root.Write(mountPoint / "other.txt", "other file system");
  platform::SHEmptyRecycleBinA(nullptr, "", 7);
  EXPECT_EQ(root.Read(mountPoint / "other.txt"), "other file system");
  EXPECT_FALSE(fs::exists(trash / "files" / "a.txt"));
  EXPECT_FALSE(fs::exists(trash / "files" / "folder"));
}

TEST_F(Trash, OnlyTheEmptyRootPathIsTaken) {
  Fill(root.dir() / "data" / "Trash");
  EXPECT_EQ(platform::SHEmptyRecycleBinA(nullptr, "C:\\", 7), platform::E_INVALIDARG);
  EXPECT_EQ(root.Read(root.dir() / "data" / "Trash" / "files" / "a.txt"), "a");
}

TEST_F(Trash, TheButtonEmptiesSilentlyAndAnEmptyTrashShowsNothing) {
  CreateForms();
  Fill(root.dir() / "data" / "Trash");
  QTest::mouseClick(Form1->power->sButton1, Qt::LeftButton);
  EXPECT_TRUE(Empty(root.dir() / "data" / "Trash" / "files"));
  Form1->power->Button1Click();  // already empty
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(Form1->power->sButton1->text(), "Vysypat Koš");
}

TEST_F(Trash, WithoutTheShellLibraryTheErrorIsShown) {
  platform::SetDataHome({});
  std::string home = getenv("HOME") ? getenv("HOME") : "";
  std::string xdg = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
  unsetenv("HOME");
  unsetenv("XDG_DATA_HOME");
  EmptyRecycleBin();
  if (!home.empty()) setenv("HOME", home.c_str(), 1);
  if (!xdg.empty()) setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  ASSERT_EQ(boxes.texts(), QStringList{"Failed to load Shell32.dll."});
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Error);
}

}  // namespace
