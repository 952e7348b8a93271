#include <QLineEdit>

#include "actions/BlinkerGroup.h"
#include "actions/CdDoorGroup.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit7.h"
#include "dialogs/Unit8.h"
#include "platform/system_info.h"
#include "prockill/Unit5.h"
#include "resx/RXMain.h"
#include "tests/support/forms_fixture.h"
#include "tweaks/PoliciesGroup.h"
#include "tweaks/ProgramFilesGroup.h"
#include "tweaks/ScreenSaverGroup.h"
#include "tweaks/StartButtonGroup.h"
#include "tweaks/WallpaperGroup.h"
#include "tweaks/WindowDragGroup.h"

namespace {

const char* kDesktopKey = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n";

using Startup = FormsTest;

TEST_F(Startup, AFirstStartShowsTheDefaultsAndNoError) {
  CreateForms();
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_FALSE(StartsInTray());
  EXPECT_EQ(Form1->hotkeyKeys, (std::array<std::string, 7>{"W", "E", "F11", "F12", "Y", "Q", "R"}));
  EXPECT_EQ(Form1->wallpaper->CestaPlocha->text(), "C:\\");
  EXPECT_EQ(Form1->startButton->CestaStart->text(), "C:\\");
  EXPECT_EQ(Form1->cdDoor->DriveCDROM->Text(), "D:");
  EXPECT_EQ(Form1->blinker->RychlostBlikani->Value(), 250);
  EXPECT_TRUE(Form1->windowDrag->ObsahOkna->isChecked());
  EXPECT_EQ(Form1->screenSaver->SporicMinuty->Value(), 10);
  EXPECT_EQ(Form1->programFiles->Edit1->text(), "C:\\Program Files");
  EXPECT_FALSE(Form1->startButton->CBox->isChecked());
  EXPECT_EQ(Form3->ComboBox1->Text(), "WindowsXP (default)");
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "WindowsXP (default)");
  // nothing was written by a start
  EXPECT_FALSE(std::filesystem::exists(root.windows()));
  EXPECT_FALSE(std::filesystem::exists(root.config() / "registry"));
}

TEST_F(Startup, TheNineWindowsWithTheirCaptions) {
  CreateForms();
  std::vector<std::pair<QWidget*, QString>> windows = {
      {Form1, "Ovlix " OVLIX_VERSION " Czech version"},
      {Form2, "O programu"},
      {Form3, "Nastavení programu"},
      {Form4, "Nastavení klávesových zkratek"},
      {Form5, "Ovlix: Process Killer"},
      {KSRE, "Ovlix: Resource Extractor"},
      {Formnh, "Nové heslo"},
      {Formzh, "Zadat heslo"},
      {Tipy, "Tipy a Triky pro systémy Windows"},
  };
  for (auto& [window, caption] : windows) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_FALSE(window->isVisible());
  }
  EXPECT_EQ(Form1->centralWidget()->size(), QSize(437, 375));
}

TEST_F(Startup, SeldomOpenedWindowsBuildTheirControlsWhenFirstShown) {
  CreateForms();
  EXPECT_EQ(Form4->v[0], nullptr);
  EXPECT_EQ(Form5->lister, nullptr);
  EXPECT_EQ(KSRE->TreeView, nullptr);
  EXPECT_EQ(KSRE->HexDumpView(), nullptr);
  EXPECT_EQ(Form2->sButton1, nullptr);
  EXPECT_EQ(Formnh->Edit2, nullptr);
  EXPECT_EQ(Formzh->Edit1, nullptr);
  EXPECT_EQ(Tipy->seznam, nullptr);
  for (QWidget* window : std::initializer_list<QWidget*>{Form2, Form4, Form5, KSRE, Formnh, Formzh, Tipy}) {
    window->show();
    window->hide();
  }
  QTableWidget* lister = Form5->lister;
  ASSERT_NE(Form4->v[6], nullptr);
  ASSERT_NE(lister, nullptr);
  ASSERT_NE(KSRE->HexDumpView(), nullptr);
  EXPECT_EQ(Form4->v[6]->Text(), "R");
  ASSERT_NE(Form2->WebLink, nullptr);
  ASSERT_NE(Formnh->Edit2, nullptr);
  ASSERT_NE(Formzh->sButton3, nullptr);
  ASSERT_NE(Tipy->seznam, nullptr);
  EXPECT_EQ(Tipy->seznam->topLevelItemCount(), 10);
  Form5->show();  // built once: a second showing keeps the controls
  EXPECT_EQ(Form5->lister, lister);
  EXPECT_EQ(Form5->findChildren<QTableWidget*>().size(), 1);
}

TEST_F(Startup, StoredValuesAreRestored) {
  Settings(
      "[Obrazky]\nCestaPlocha=C:\\Obrazky\\more.jpg\nCestaStart=D:\\s.bmp\n"
      "[CDROM]\ndriveCD=Q:\n[Nastaveni]\nBlikaniRychlost=-40\nVkladatPoSpusteni=1\n");
  UserHive(std::string(kDesktopKey) + "\"DragFullWindows\"=\"0\"\n\"ScreenSaveTimeOut\"=\"59\"\n");
  CreateForms();
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(Form1->wallpaper->CestaPlocha->text(), "C:\\Obrazky\\more.jpg");
  EXPECT_EQ(Form1->startButton->CestaStart->text(), "D:\\s.bmp");
  EXPECT_EQ(Form1->blinker->RychlostBlikani->Value(), -40);
  EXPECT_FALSE(Form1->windowDrag->ObsahOkna->isChecked());
  EXPECT_EQ(Form1->screenSaver->SporicMinuty->Value(), 0);  // 59 s is 0 minutes
  EXPECT_TRUE(Form1->startButton->CBox->isChecked());
  // a stored drive that is no CD drive stands in the text, not in the list
  EXPECT_EQ(Form1->cdDoor->DriveCDROM->Text(), "Q:");
  EXPECT_FALSE(Form1->cdDoor->DriveCDROM->Items().contains("Q:"));
}

// Where no Start-button picture can be prepared, the insert asked for at
// start is skipped without a word: the start goes on (the drive lists are
// the real ones) and the flag stays as the user left it. On Windows 98 the
// missing picture still stops the start with its error.
TEST_F(Startup, ThePictureInsertAtStartIsSilentWhereNoPictureCanBePrepared) {
  Settings("[Nastaveni]\nVkladatPoSpusteni=1\n");
  CreateForms();
  EXPECT_TRUE(boxes.boxes().empty()) << boxes.texts().join(" | ").toStdString();
  EXPECT_TRUE(Form1->startButton->CBox->isChecked());
  const QStringList designed{"A:", "B:", "C:", "D:", "E:", "F:", "G:"};
  EXPECT_NE(Form1->policies->Disky->Items(), designed);
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"), "[Nastaveni]\nVkladatPoSpusteni=1\n");
  DestroyForms();

  platform::SetReportedPlatform(VER_PLATFORM_WIN32_WINDOWS);
  CreateForms();
  platform::SetReportedPlatform(-1);
  EXPECT_EQ(boxes.texts(),
            QStringList{QString::fromStdString("Cannot open file " + root.program().string() + "/start.bmp")});
  EXPECT_EQ(Form1->policies->Disky->Items(), designed);  // the start stopped before its drive lists
}

TEST_F(Startup, ABadBlinkSpeedStopsTheLaterSteps) {
  Settings("[Nastaveni]\nBlikaniRychlost=rychle\nVkladatPoSpusteni=1\n");
  CreateForms();
  ASSERT_EQ(boxes.texts(), QStringList{"'rychle' is not a valid integer value"});
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Error);
  // the steps before ran, the registry steps and the drive lists did not
  EXPECT_EQ(Form1->cdDoor->DriveCDROM->Text(), "D:");
  EXPECT_FALSE(Form1->windowDrag->ObsahOkna->isChecked());
  EXPECT_FALSE(Form1->startButton->CBox->isChecked());
  EXPECT_EQ(Form1->policies->Disky->Items(), (QStringList{"A:", "B:", "C:", "D:", "E:", "F:", "G:"}));
  // the other windows exist all the same
  EXPECT_NE(Tipy, nullptr);
}

TEST_F(Startup, AMissingScreenSaverDelayStopsAtItsConversion) {
  Settings("[Nastaveni]\nVkladatPoSpusteni=1\n");
  UserHive(std::string(kDesktopKey) + "\"DragFullWindows\"=\"1\"\n");
  CreateForms();
  ASSERT_EQ(boxes.texts(), QStringList{"'' is not a valid integer value"});
  EXPECT_TRUE(Form1->windowDrag->ObsahOkna->isChecked());  // step 7 ran
  EXPECT_EQ(Form1->programFiles->Edit1->text(), "C:\\Program Files");
  EXPECT_FALSE(Form1->startButton->CBox->isChecked());  // step 9 did not
  EXPECT_EQ(Form1->policies->Disky->Items().size(), 7);
}

TEST_F(Startup, ARegistryValueOfAnotherTypeStopsAtTheRegistryStep) {
  UserHive(std::string(kDesktopKey) + "\"DragFullWindows\"=dword:00000001\n\"ScreenSaveTimeOut\"=\"600\"\n");
  CreateForms();
  ASSERT_EQ(boxes.texts(), QStringList{"Invalid data type for 'DragFullWindows'"});
  EXPECT_FALSE(Form1->windowDrag->ObsahOkna->isChecked());
  EXPECT_EQ(Form1->screenSaver->SporicMinuty->Value(), 0);
}

TEST_F(Startup, TheDriveListsFollowTheDriveMap) {
  std::filesystem::create_directories(root.dir() / "e");
  root.Write(root.config() / "drives.ini",
             "[Drives]\nE:=" + (root.dir() / "e").string() + "\nO:=" + (root.dir() / "e").string() + "\n");
  CreateForms();
  EXPECT_EQ(Form1->policies->Disky->Items(), (QStringList{"C:", "E:"}));  // A: to N: only
  EXPECT_EQ(Form1->policies->Disky->Text(), "A:");
  EXPECT_TRUE(Form1->cdDoor->DriveCDROM->Items().isEmpty());
}

TEST_F(Startup, TheTrayFlagIsExactlyOne) {
  Settings("[nastaveni]\nspousteniVTray=1\n");
  EXPECT_TRUE(StartsInTray());
  Settings("[Nastaveni]\nSpousteniVTray= 1x\n");
  EXPECT_FALSE(StartsInTray());
  Settings("[Nastaveni]\nSpousteniVTray=yes\n");
  EXPECT_FALSE(StartsInTray());
}

TEST_F(Startup, TheSavedSkinIsAppliedWhenTheWindowIsFirstShown) {
  std::filesystem::create_directories(root.program() / "skins" / "Modrý");
  std::filesystem::create_directories(root.program() / "skins" / ".hidden");
  root.Write(root.program() / "skins" / "file.txt", "not a skin");
  Settings("[Nastaveni]\nskin=Modrý\n");
  CreateForms();
  EXPECT_EQ(Form3->ComboBox1->Items(), (QStringList{"WindowsXP (default)", "Modrý"}));
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "WindowsXP (default)");
  Form1->show();
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "Modrý");
}

TEST_F(Startup, ASavedSkinThatNamesNoSkinChangesNothing) {
  Settings("[Nastaveni]\nskin=Neexistuje\n");
  CreateForms();
  Form1->show();
  EXPECT_EQ(Form1->sSkinManager1.SkinName(), "WindowsXP (default)");
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
