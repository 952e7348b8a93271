#include "dialogs/Unit3.h"
#include "platform/autostart.h"
#include "platform/paths.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/fsize_limit.h"
#include "tests/support/registry_read.h"

namespace {

const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class SettingsDialog : public FormsTest {
 protected:
  std::string Setting(const char* key) { return TIniFile("Trelmo.ini").ReadString("Nastaveni", key, "<none>"); }
  platform::RegValue Kastlik() { return ReadValue(platform::RootKey::LocalMachine, kRun, "Kastlik"); }
};

TEST_F(SettingsDialog, EveryCombinationIsWrittenAndTheAutostartFollows) {
  std::filesystem::create_directories(root.program() / "skins" / "Modrý");
  CreateForms();
  std::filesystem::path entry = platform::AutostartEntryPath("Kastlik");
  EXPECT_EQ(entry, root.dir() / "autostart" / "ovlix-run-Kastlik.desktop");
  for (int combination = 0; combination < 8; ++combination) {
    bool tray = combination & 1, autorun = combination & 2, blink = combination & 4;
    Form3->show();
    Form3->SpoustetIkonka->setChecked(tray);
    Form3->SpoustetPriStartu->setChecked(autorun);
    Form3->Blikanicko->setChecked(blink);
    Form3->ComboBox1->SetText(combination % 2 ? "Modrý" : "WindowsXP (default)");
    Form3->sButton1->click();
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(Setting("SpousteniVTray"), tray ? "1" : "0") << combination;
    EXPECT_EQ(Setting("SpousteniPoStartuSystemu"), autorun ? "1" : "0") << combination;
    EXPECT_EQ(Setting("BlikaniPriSpusteni"), blink ? "1" : "0") << combination;
    EXPECT_EQ(Setting("skin"), Form3->ComboBox1->Text().toStdString());
    EXPECT_EQ(Form1->sSkinManager1.SkinName(), Form3->ComboBox1->Text());  // at once
    if (autorun) {
      EXPECT_EQ(Kastlik(), platform::RegValue::String(platform::ExecutablePath()));
      EXPECT_NE(root.Read(entry).find("Exec=\"" + platform::ExecutablePath() + "\""), std::string::npos);
    } else {
      EXPECT_EQ(Kastlik().type, platform::REG_NONE);
      EXPECT_FALSE(std::filesystem::exists(entry));
    }
  }
  // the keys keep the spelling of their first writer
  std::string file = root.Read(root.windows() / "Trelmo.ini");
  EXPECT_NE(file.find("spousteniVTray="), std::string::npos);
  EXPECT_NE(file.find("spousteniPoStartuSystemu="), std::string::npos);
  EXPECT_TRUE(boxes.boxes().empty());
}

// An installed program is reached through a link on PATH (/usr/bin/ovlix to
// /usr/lib/ovlix/ovlix): the autostart names the link, which stays right
// when an update moves the program folder.
TEST_F(SettingsDialog, TheAutostartNamesTheProgramAsItIsReachedOnPath) {
  std::filesystem::path bin = root.dir() / "bin";
  std::filesystem::create_directories(bin);
  std::string exe = platform::ExecutablePath();
  std::filesystem::path link = bin / std::filesystem::path(exe).filename();
  std::filesystem::create_symlink(exe, link);
  root.Write(root.dir() / "other" / std::filesystem::path(exe).filename(), "another program of the name");
  std::string previous = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", ("relative:" + (root.dir() / "other").string() + ":" + bin.string() + ":/usr/bin").c_str(), 1);
  CreateForms();
  Form3->show();
  Form3->SpoustetPriStartu->setChecked(true);
  Form3->sButton1->click();
  setenv("PATH", previous.c_str(), 1);
  EXPECT_EQ(Kastlik(), platform::RegValue::String(link.string()));
  EXPECT_NE(root.Read(platform::AutostartEntryPath("Kastlik")).find("Exec=\"" + link.string() + "\""),
            std::string::npos);
  EXPECT_EQ(platform::LaunchPath(), exe);  // nothing on PATH leads to it now
}

TEST_F(SettingsDialog, TheDialogStaysOpenWhenAWriteFails) {
  CreateForms();
  Form3->show();
  Form3->SpoustetPriStartu->setChecked(true);
  {
    FileSizeLimit full(200);  // the settings fit, the machine hive does not
    Form3->sButton1->click();
  }
  EXPECT_EQ(boxes.texts(), QStringList{"Failed to set data for 'Kastlik'"});
  EXPECT_TRUE(Form3->isVisible());
  EXPECT_EQ(Setting("SpousteniPoStartuSystemu"), "<none>");
  EXPECT_FALSE(std::filesystem::exists(platform::AutostartEntryPath("Kastlik")));
}

TEST(AutostartEntry, TheCommandIsQuotedForTheSessionLauncher) {
  std::string text = platform::AutostartEntryText("Kastlik", "/opt/a b/$HOME\\x%y\"z");
  EXPECT_NE(text.find("Exec=\"/opt/a b/\\\\$HOME\\\\\\\\x%%y\\\\\"z\"\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("\nName=Kastlik\n") != std::string::npos, true);
  EXPECT_EQ(text.find("\nIcon="), std::string::npos);
  // Ovlix itself is listed by its own name and icon
  std::string own = platform::AutostartEntryText("Kastlik", platform::ExecutablePath());
  EXPECT_NE(own.find("\nName=Ovlix\n"), std::string::npos) << own;
  EXPECT_NE(own.find("\nIcon=org.ovlix.Ovlix\n"), std::string::npos) << own;
  EXPECT_NE(own.find("\nTryExec=" + platform::ExecutablePath() + "\n"), std::string::npos) << own;
  EXPECT_EQ(text.find("\nTryExec="), std::string::npos);
}

// Installed, the value names the link on PATH (/usr/bin/ovlix), not the
// program in its folder (/usr/lib/ovlix/ovlix): still Ovlix, and after a
// purge the desktop skips the entry by its TryExec.
TEST(AutostartEntry, OvlixReachedByItsLinkIsOvlix) {
  TempRoot root;
  std::filesystem::path link = root.dir() / "bin" / "ovlix";
  std::filesystem::create_directories(link.parent_path());
  std::filesystem::create_symlink(platform::ExecutablePath(), link);
  std::string text = platform::AutostartEntryText("Kastlik", link.string());
  EXPECT_NE(text.find("\nName=Ovlix\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nIcon=org.ovlix.Ovlix\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nTryExec=" + link.string() + "\n"), std::string::npos) << text;
  // a link to another program is that program
  std::filesystem::create_symlink("/bin/true", root.dir() / "bin" / "other");
  text = platform::AutostartEntryText("Kastlik", (root.dir() / "bin" / "other").string());
  EXPECT_NE(text.find("\nName=Kastlik\n"), std::string::npos) << text;
}

}  // namespace
