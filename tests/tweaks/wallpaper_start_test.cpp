#include "platform/desktop_params.h"
#include "platform/paths.h"
#include "platform/system_info.h"
#include "platform/window_messages.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/registry_read.h"
#include "tests/support/jpeg_writer.h"
#include "tweaks/StartButtonGroup.h"
#include "tweaks/WallpaperGroup.h"
#include "framework/picture_dialog.h"
#include "tweaks/picture_conversion.h"

namespace {

using platform::RegValue;

class RecordedWallpaper : public platform::WallpaperBackend {
 public:
  explicit RecordedWallpaper(std::vector<std::pair<std::string, platform::WallpaperPlacement>>& out) : out_(out) {}
  void Apply(const std::string& picture, platform::WallpaperPlacement placement) override {
    out_.emplace_back(picture, placement);
  }

 private:
  std::vector<std::pair<std::string, platform::WallpaperPlacement>>& out_;
};

class Pictures : public FormsTest {
 protected:
  void SetUp() override {
    previous_ = platform::SetWallpaperBackend(std::make_unique<RecordedWallpaper>(applied));
    CreateForms();
    jpeg = (root.dir() / "more.jpg").string();
    root.Write(jpeg, EncodeTestJpeg(20, 10));
  }
  void TearDown() override {
    FormsTest::TearDown();
    platform::SetWallpaperBackend(std::move(previous_));
    platform::SetReportedPlatform(-1);
  }
  std::string Desktop(const char* name) {
    RegValue v = ReadValue(platform::RootKey::CurrentUser, "Control Panel\\Desktop", name);
    return v.type == platform::REG_NONE ? "<none>" : v.data;
  }
  std::string Setting(const char* section, const char* key) {
    return TIniFile("Trelmo.ini").ReadString(section, key, "<none>");
  }

  std::string jpeg;
  std::vector<std::pair<std::string, platform::WallpaperPlacement>> applied;
  std::unique_ptr<platform::WallpaperBackend> previous_;
};

TEST_F(Pictures, AJpegWallpaperBecomesDesktopBmp) {
  WallpaperGroup* w = Form1->wallpaper;
  EXPECT_EQ(w->ZobrazitW->Text(), "Vedle sebe");
  EXPECT_EQ(w->ZobrazitW->ItemIndex(), -1);
  w->CestaPlocha->setText(QString::fromStdString(jpeg));
  w->ZobrazitW->setCurrentIndex(0);
  w->sButton12->click();
  EXPECT_TRUE(boxes.boxes().empty());
  std::string bmp = root.program().string() + "/Desktop.bmp";
  EXPECT_EQ(root.Read(bmp), JpegToBmp(root.Read(jpeg)));
  EXPECT_EQ(Desktop("Wallpaper"), bmp);
  EXPECT_EQ(Desktop("TileWallpaper"), "0");
  EXPECT_EQ(Desktop("WallpaperStyle"), "0");
  EXPECT_EQ(Setting("Obrazky", "CestaPlocha"), jpeg);
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_EQ(applied[0].first, bmp);
  EXPECT_EQ(applied[0].second, platform::WallpaperPlacement::Centred);
}

TEST_F(Pictures, WhatIsNoJpegGoesToTheRegistryAsTyped) {
  WallpaperGroup* w = Form1->wallpaper;
  for (const char* path : {"C:\\Fotky.2005\\a.jpg", "C:\\a.JPG", "/home/u/b.bmp"}) {
    w->CestaPlocha->setText(path);
    w->Button7Click();
    EXPECT_EQ(Desktop("Wallpaper"), path);
    EXPECT_EQ(Desktop("WallpaperStyle"), "-1");  // no item picked
  }
  EXPECT_FALSE(std::filesystem::exists(root.program() / "Desktop.bmp"));
  w->ZobrazitW->setCurrentIndex(2);
  w->Button7Click();
  EXPECT_EQ(Desktop("WallpaperStyle"), "2");
  EXPECT_EQ(applied.back().second, platform::WallpaperPlacement::Stretched);
}

TEST_F(Pictures, EveryWallpaperFailureStopsBeforeTheSettings) {
  WallpaperGroup* w = Form1->wallpaper;
  std::string missing = (root.dir() / "gone.jpg").string();
  w->CestaPlocha->setText(QString::fromStdString(missing));
  w->sButton12->click();
  std::string broken = (root.dir() / "broken.jpg").string();
  root.Write(broken, "\xFF\xD8 not really");
  w->CestaPlocha->setText(QString::fromStdString(broken));
  w->sButton12->click();
  ASSERT_EQ(boxes.texts().size(), 2);
  EXPECT_EQ(boxes.texts()[0], QString::fromStdString("Cannot open file " + missing));
  EXPECT_TRUE(boxes.texts()[1].startsWith("JPEG error #"));
  EXPECT_EQ(Desktop("Wallpaper"), "");  // a fresh system's
  EXPECT_EQ(Setting("Obrazky", "CestaPlocha"), "<none>");

  // neither the program folder nor the user's data folder can take a file
  root.Write(root.dir() / "blocked", "a file, not a folder");
  platform::SetProgramFolder((root.dir() / "blocked").string());
  platform::SetDataHome(root.dir() / "blocked");
  w->CestaPlocha->setText(QString::fromStdString(jpeg));
  w->sButton12->click();
  EXPECT_EQ(boxes.texts().last(),
            QString::fromStdString("Cannot create file " + (root.dir() / "blocked").string() + "/ovlix/Desktop.bmp"));
  EXPECT_EQ(Desktop("Wallpaper"), "");
  EXPECT_TRUE(applied.empty());
}

// An installed program lies in a folder its user may not write: what it
// would write beside itself goes to the user's data folder, and is found
// there first.
class InstalledPictures : public Pictures {
 protected:
  void SetUp() override {
    Pictures::SetUp();
    installed = root.dir() / "usr-lib-ovlix";
    root.Write(installed / platform::kInstalledMark, "");
    platform::SetProgramFolder(installed.string());
    // marked as installed, and a folder the user may not write (root may)
    std::filesystem::permissions(installed, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(installed, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    Pictures::TearDown();
  }
  std::filesystem::path installed;
  std::filesystem::path data() const { return root.data() / "ovlix"; }
};

TEST_F(Pictures, AWritableFolderMarkedAsInstalledIsNotWrittenEither) {
  // root may write an installed program folder: what it prepares still goes
  // to its data folder, so that removing the package leaves nothing behind
  root.Write(root.program() / platform::kInstalledMark, "");
  Form1->wallpaper->CestaPlocha->setText(QString::fromStdString(jpeg));
  Form1->wallpaper->sButton12->click();
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_FALSE(std::filesystem::exists(root.program() / "Desktop.bmp"));
  EXPECT_EQ(Desktop("Wallpaper"), (root.data() / "ovlix" / "Desktop.bmp").string());
}

TEST_F(InstalledPictures, AJpegWallpaperGoesToTheUsersDataFolder) {
  WallpaperGroup* w = Form1->wallpaper;
  w->CestaPlocha->setText(QString::fromStdString(jpeg));
  w->sButton12->click();
  EXPECT_TRUE(boxes.boxes().empty());
  std::string bmp = (data() / "Desktop.bmp").string();
  EXPECT_EQ(root.Read(bmp), JpegToBmp(root.Read(jpeg)));
  EXPECT_EQ(Desktop("Wallpaper"), bmp);
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_EQ(applied[0].first, bmp);
}

TEST_F(InstalledPictures, TheStartPictureIsPreparedAndFoundInTheUsersDataFolder) {
  StartButtonGroup* s = Form1->startButton;
  platform::SetReportedPlatform(VER_PLATFORM_WIN32_WINDOWS);
  s->CestaStart->setText(QString::fromStdString(jpeg));
  s->Button10Click();
  EXPECT_EQ(boxes.texts(), QStringList{"Obrázek připraven můžete pokračovat."});
  std::string prepared = root.Read(data() / "Start.bmp");
  EXPECT_EQ(prepared, JpegToBmp(root.Read(jpeg)));

  // found again in any case of its name
  std::filesystem::rename(data() / "Start.bmp", data() / "START.BMP");
  s->Button11Click();
  EXPECT_EQ(boxes.texts().size(), 1);
}

TEST_F(InstalledPictures, WithoutAPreparedPictureTheOneBesideTheProgramIsRead) {
  std::filesystem::permissions(installed, std::filesystem::perms::owner_all);
  root.Write(installed / "start.BMP", "not a bitmap");
  std::filesystem::permissions(installed, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  Form1->startButton->sButton17->click();
  EXPECT_EQ(boxes.texts(), QStringList{"Bitmap image is not valid"});
  root.Write(data() / "Start.bmp", JpegToBmp(root.Read(jpeg)));
  Form1->startButton->sButton17->click();
  EXPECT_EQ(boxes.texts().size(), 1);  // the data folder's, which is valid
}

TEST_F(Pictures, PreparingWorksOnlyOnWindows9x) {
  StartButtonGroup* s = Form1->startButton;
  s->CestaStart->setText(QString::fromStdString(jpeg));
  s->Button10Click();  // this host is of the NT family
  ASSERT_EQ(boxes.texts(), QStringList{"Váš systém není Windows 95 nebo 98, Proto je tato funkce znepřístupněna."});
  EXPECT_EQ(boxes.boxes()[0].caption, "Warning");
  EXPECT_FALSE(std::filesystem::exists(root.program() / "Start.bmp"));
  EXPECT_EQ(Setting("Obrazky", "CestaStart"), "<none>");

  platform::SetReportedPlatform(VER_PLATFORM_WIN32_WINDOWS);
  s->Button10Click();
  EXPECT_EQ(boxes.texts().last(), "Obrázek připraven můžete pokračovat.");
  EXPECT_EQ(boxes.boxes().back().kind, BoxKind::Plain);
  EXPECT_EQ(root.Read(root.program() / "Start.bmp"), JpegToBmp(root.Read(jpeg)));
  EXPECT_EQ(Setting("Obrazky", "CestaStart"), jpeg);

  // a JPEG behind an upper-case .JPG is taken for a bitmap
  std::string upper = (root.dir() / "pic.JPG").string();
  root.Write(upper, root.Read(jpeg));
  s->CestaStart->setText(QString::fromStdString(upper));
  s->sButton15->click();
  EXPECT_EQ(boxes.texts().last(), "Bitmap image is not valid");

  platform::SetReportedPlatform(-1, true);  // GetVersionExA fails: nothing at all
  std::size_t before = boxes.boxes().size();
  s->Button10Click();
  EXPECT_EQ(boxes.boxes().size(), before);
}

TEST_F(Pictures, InsertingHandsThePictureToAStartButtonAndTheEndGivesTheOldOneBack) {
  StartButtonGroup* s = Form1->startButton;
  // no taskbar here: the insert writes the flag, loads the picture, stops
  root.Write(root.program() / "Start.bmp", JpegToBmp(root.Read(jpeg)));
  s->CBox->setChecked(false);
  s->sButton17->click();
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(Setting("Nastaveni", "VkladatPoSpusteni"), "0");
  EXPECT_EQ(s->StartButtonWindow, 0);

  // a fake taskbar with a Start button that keeps the images it is given
  std::vector<platform::LPARAM> images{7777};  // what it showed at first
  platform::HWND taskbar =
      platform::CreateWindowHandle([](UINT, platform::WPARAM, platform::LPARAM) { return 0; }, "Shell_TrayWnd");
  platform::HWND button = platform::CreateWindowHandle(
      [&](UINT message, platform::WPARAM kind, platform::LPARAM image) -> platform::LRESULT {
        EXPECT_EQ(message, BM_SETIMAGE);
        EXPECT_EQ(kind, IMAGE_BITMAP);
        platform::LPARAM before = images.back();
        images.push_back(image);
        return before;
      },
      "Button", taskbar);
  s->CBox->setChecked(true);
  s->Button11Click();
  s->Button11Click();
  EXPECT_EQ(Setting("Nastaveni", "VkladatPoSpusteni"), "1");
  ASSERT_EQ(images.size(), 3u);
  platform::LPARAM first = images[1];
  EXPECT_NE(first, images[2]);
  DestroyForms();  // the program ends
  ASSERT_EQ(images.size(), 4u);
  EXPECT_EQ(images[3], first);  // the image the second insert replaced
  platform::DestroyWindowHandle(button);
  platform::DestroyWindowHandle(taskbar);
}

TEST_F(Pictures, WithoutStartBmpTheInsertFailsAfterWritingTheFlag) {
  Form1->startButton->CBox->setChecked(true);
  Form1->startButton->sButton17->click();
  EXPECT_EQ(boxes.texts(),
            QStringList{QString::fromStdString("Cannot open file " + root.program().string() + "/start.bmp")});
  EXPECT_EQ(Setting("Nastaveni", "VkladatPoSpusteni"), "1");
}

TEST_F(Pictures, TheBrowseButtonsTakeTheConfirmedFileOnly) {
  QString asked;
  SetPictureDialogAnswer([&](const QString& name, const QString& filter) {
    asked = name + " " + filter;
    return QString();
  });
  Form1->wallpaper->CestaPlocha->setText("C:\\");
  Form1->wallpaper->sButton13->click();
  EXPECT_EQ(Form1->wallpaper->CestaPlocha->text(), "C:\\");
  EXPECT_EQ(asked, "PlochaOpenDialog Podporované formáty (*.jpg;*.bmp)|*.jpg;*.bmp;");
  SetPictureDialogAnswer([](const QString&, const QString&) { return QStringLiteral("/obrazky/a.jpg"); });
  Form1->startButton->sButton16->click();
  EXPECT_EQ(Form1->startButton->CestaStart->text(), "/obrazky/a.jpg");
  SetPictureDialogAnswer({});
}

}  // namespace
