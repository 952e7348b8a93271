#include <QTest>
#include <QMenuBar>
#include <fstream>

#include "app/AddOnsGroup.h"
#include "dialogs/Unit2.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/launch_recorder.h"

namespace fs = std::filesystem;
using Argv = std::vector<std::vector<std::string>>;

namespace {

void MakeExecutable(const fs::path& path, const std::string& text = "#!/bin/sh\n") {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
  fs::permissions(path, fs::perms::owner_all);
}

class Launchers : public FormsTest {
 protected:
  void SetUp() override {
    CreateForms();
    cwd_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(cwd_);
    platform::SetReportedPlatform(-1);
    FormsTest::TearDown();
  }
  LaunchRecorder launches;
  fs::path cwd_;
};

TEST(CommandLine, SplitAsThePlatformSplitsIt) {
  EXPECT_EQ(platform::SplitCommandLine("data\\a.exe"), std::vector<std::string>{"data\\a.exe"});
  EXPECT_EQ(platform::SplitCommandLine("\"C:\\Program Files\\x.exe\" -a  b"),
            (std::vector<std::string>{"C:\\Program Files\\x.exe", "-a", "b"}));
  EXPECT_EQ(platform::SplitCommandLine("\"\" x"), (std::vector<std::string>{"", "x"}));
  EXPECT_TRUE(platform::SplitCommandLine("   ").empty());
}

TEST_F(Launchers, CompanionsComeFromTheCurrentFolderNotTheProgramFolder) {
  MakeExecutable(root.program() / "data" / "REDorevOraderu.exe");  // not where it is looked for
  fs::path elsewhere = root.dir() / "elsewhere";
  MakeExecutable(elsewhere / "data" / "REDorevOraderu.exe");
  MakeExecutable(elsewhere / "data" / "DURAROZURI.exe");
  fs::create_directories(root.dir() / "empty");
  fs::current_path(root.dir() / "empty");
  Form1->addOns->sButton25->click();
  EXPECT_TRUE(launches.started().empty());
  fs::current_path(elsewhere);
  Form1->addOns->sButton25->click();
  Form1->addOns->sButton25->click();  // twice: two copies
  EXPECT_EQ(launches.started(), (Argv{{"data/REDorevOraderu.exe"}, {"data/REDorevOraderu.exe"}}));
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Launchers, TheSystemConfigurationOnlyOnWindows9x) {
  MakeExecutable(root.dir() / "data" / "DURAROZURI.exe");
  fs::current_path(root.dir());
  Form1->addOns->sButton6->click();
  EXPECT_TRUE(launches.started().empty());
  ASSERT_EQ(boxes.texts(), QStringList{"Váš systém není Windows 95 nebo 98, Proto je tato funkce znepřístupněna."});
  EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Warning);
  platform::SetReportedPlatform(VER_PLATFORM_WIN32_WINDOWS);
  Form1->addOns->RbSpeedButton25Click();
  EXPECT_EQ(launches.started(), (Argv{{"data/DURAROZURI.exe"}}));
}

TEST_F(Launchers, TheHelpPageOpensWhereItExists) {
  Form1->Npovdatim1->trigger();
  EXPECT_TRUE(launches.started().empty());
  root.Write(root.program() / "readme.htm", "<html></html>");
  Form1->Npovdatim1->trigger();
  EXPECT_EQ(launches.started(), (Argv{{"xdg-open", root.program().string() + "/readme.htm"}}));
  QStringList items;
  for (QAction* a : Form1->menuBar()->actions().last()->menu()->actions())
    items << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(items, (QStringList{"Nápověda (Z disku)", "-", "O Programu"}));
}

TEST_F(Launchers, TheAboutBoxAndItsLinks) {
  Form2->show();
  EXPECT_EQ(Form2->size(), QSize(233, 215));
  EXPECT_TRUE(Form2->MailLink->font().underline());
  QTest::mouseClick(Form2->MailLink, Qt::LeftButton);
  QTest::mouseClick(Form2->WebLink, Qt::LeftButton);
  EXPECT_EQ(launches.started(),
            (Argv{{"xdg-open", "mailto:ovlix@example.org"}, {"xdg-open", "https://ovlix.example.org/"}}));
  Form2->sButton1->click();
  EXPECT_FALSE(Form2->isVisible());
}

TEST(ShellExecute, APathFullOfShellSyntaxIsNeverInterpreted) {
  TempRoot root;
  fs::path folder = root.dir() / "a; touch INJECTED; $(touch INJECTED2) `touch INJECTED3`";
  fs::path script = folder / "run me.sh";
  MakeExecutable(script, "#!/bin/sh\ntouch \"$0.ran\"\n");
  auto cwd = fs::current_path();
  fs::current_path(root.dir());
  EXPECT_GT(platform::ShellExecuteA(0, "open", script.c_str(), nullptr, nullptr, platform::SW_SHOWNORMAL), 32);
  EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(script.string() + ".ran"); }, 5000));
  for (const char* trap : {"INJECTED", "INJECTED2", "INJECTED3"}) EXPECT_FALSE(fs::exists(root.dir() / trap)) << trap;
  EXPECT_EQ(platform::ShellExecuteA(0, "open", (root.dir() / "nothing here").c_str(), nullptr, nullptr, 1), 2);
  fs::current_path(cwd);
}

}  // namespace
