#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "actions/CdDoorGroup.h"
#include "app/Hotkeys.h"
#include "app/TrayIcon.h"
#include "framework/message_box.h"
#include "resx/RXMain.h"
#include "dialogs/Unit2.h"
#include "platform/key_names.h"
#include "platform/mci.h"
#include "platform/paths.h"
#include "prockill/Unit5.h"
#include "tests/support/fake_cd.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/power_recorder.h"

namespace {

using namespace platform;
using Requests = std::vector<PowerRecorder::Request>;

class TrayAndHotkeys : public FormsTest {
 protected:
  void TearDown() override {
    FormsTest::TearDown();
    SetDataHome({});
    SetMciTrace({});
  }
  // Runs `action`, which opens `window` modally, and closes it again;
  // true when the window was shown.
  static bool OpensModally(QWidget* window, const std::function<void()>& action) {
    bool shown = false;
    QTimer::singleShot(50, [&] {
      shown = window->isVisible();
      window->close();
    });
    action();
    return shown;
  }

  FakeDesktop desktop;
};

TEST(KeyNames, TheThirtyEightNamesAndTheirCodes) {
  ASSERT_EQ(KeyNameTable().size(), 38u);
  EXPECT_EQ(VirtualKeyFor("A"), 65u);
  EXPECT_EQ(VirtualKeyFor("Z"), 90u);
  EXPECT_EQ(VirtualKeyFor("F1"), 112u);
  EXPECT_EQ(VirtualKeyFor("F12"), 123u);
  EXPECT_EQ(VirtualKeyFor("w"), std::nullopt);
  EXPECT_EQ(VirtualKeyFor("F13"), std::nullopt);
  EXPECT_EQ(VirtualKeyFor(" W"), std::nullopt);
  EXPECT_EQ(VirtualKeyFor(""), std::nullopt);
}

TEST_F(TrayAndHotkeys, TheDefaultsBindSevenCtrlKeys) {
  CreateForms();
  EXPECT_EQ(desktop.keys->Keys(), (std::set<UINT>{'W', 'E', 122, 123, 'Y', 'Q', 'R'}));
  for (const auto& [combination, pressed] : desktop.keys->grabs) EXPECT_EQ(combination.first, MOD_CONTROL);
  DestroyForms();
  EXPECT_TRUE(desktop.keys->grabs.empty());
  EXPECT_EQ(desktop.keys->released, 7);
}

TEST_F(TrayAndHotkeys, NamesThatBindNothingAndCombinationsTaken) {
  Settings("[zkratky]\np1=w\np2=W\np3=W\np4=F13\n");
  desktop.keys->takenElsewhere.insert({MOD_CONTROL, 'Y'});
  CreateForms();
  // p1 binds nothing; p2 takes W, p3's W is taken; p4 and p5 bind nothing
  EXPECT_EQ(desktop.keys->Keys(), (std::set<UINT>{'W', 'Q', 'R'}));
  Form1->hide();
  EXPECT_TRUE(OpensModally(Form5, [&] { desktop.keys->Press('W'); }));  // W is id 2
  EXPECT_FALSE(Form1->isVisible());
}

TEST_F(TrayAndHotkeys, AChangedKeyTakesEffectAtTheNextStart) {
  CreateForms();
  Settings("[zkratky]\np1=A\n");
  EXPECT_EQ(desktop.keys->Keys().count('A'), 0u);
  DestroyForms();
  CreateForms();
  EXPECT_EQ(desktop.keys->Keys().count('A'), 1u);
  EXPECT_EQ(desktop.keys->Keys().count('W'), 0u);
}

TEST_F(TrayAndHotkeys, EveryHotkeyRunsItsAction) {
  FakeCdScope cd{{"/dev/sr0"}};
  SetDataHome(root.dir() / "data");
  root.Write(root.dir() / "data" / "Trash" / "files" / "old.txt", "x");
  CreateForms();
  Form1->hide();

  ASSERT_TRUE(desktop.keys->Press('W'));
  EXPECT_TRUE(Form1->isVisible());
  desktop.keys->Press('W');  // visible: nothing more
  EXPECT_TRUE(Form1->isVisible());

  EXPECT_TRUE(OpensModally(Form5, [&] { desktop.keys->Press('E'); }));
  Form5->show();
  desktop.keys->Press('E');  // already open: nothing happens, nothing blocks
  Form5->hide();

  Form1->hide();
  Form1->cdDoor->DriveCDROM->SetText("D:");
  std::vector<UINT> mci;
  SetMciTrace([&](MCIDEVICEID, UINT message, std::uintptr_t, std::uintptr_t, MCIERROR) { mci.push_back(message); });
  desktop.keys->Press(122);
  Form1->cdDoor->DriveCDROM->SetText("Q:");
  desktop.keys->Press(123);
  EXPECT_EQ(mci, (std::vector<UINT>{MCI_OPEN, MCI_SET, MCI_CLOSE, MCI_OPEN}));
  EXPECT_EQ(cd.fake->log, (std::vector<std::string>{"open /dev/sr0", "eject", "close"}));
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("CDROM", "driveCD", ""), "Q:");

  // the trash, shut down and restart ask first: "Ne" leaves all as it was
  auto old = root.dir() / "data" / "Trash" / "files" / "old.txt";
  PowerRecorder refused;
  for (UINT key : {'Y', 'Q', 'R'}) desktop.keys->Press(key);
  EXPECT_EQ(boxes.questions(),
            (QStringList{"Opravdu vysypat koš?", "Opravdu vypnout počítač?", "Opravdu restartovat počítač?"}));
  EXPECT_TRUE(std::filesystem::exists(old));
  EXPECT_TRUE(refused.requests().empty());

  boxes.answer = true;  // "Ano"
  desktop.keys->Press('Y');
  EXPECT_FALSE(std::filesystem::exists(old));
  for (auto [key, second] : {std::pair<UINT, UINT>{'Q', EWX_SHUTDOWN}, {'R', EWX_REBOOT}}) {
    PowerRecorder power;
    desktop.keys->Press(key);
    EXPECT_EQ(power.requests(), (Requests{{4, 0}, {second, 0}}));
  }
  PowerRecorder none;
  SendMessageA(Form1->Handle, WM_HOTKEY, 8, 0);  // no such id
  EXPECT_TRUE(none.requests().empty());
  EXPECT_TRUE(boxes.boxes().empty());
}

// A key that may have been meant for another program asks, and asks once:
// pressed again while its question is open, it adds no second question.
TEST_F(TrayAndHotkeys, OneQuestionAtATime) {
  CreateForms();
  PowerRecorder power;
  int asked = 0;
  auto previous = SetQuestionPresenter([&](const QString&, const QString&) {
    ++asked;
    desktop.keys->Press('Q');
    desktop.keys->Press('R');
    return false;
  });
  desktop.keys->Press('Q');
  SetQuestionPresenter(previous);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(power.requests().empty());
}

// The explorer's view keys are Ctrl+Q to Ctrl+R: in front, it keeps them.
TEST_F(TrayAndHotkeys, TheWindowInFrontKeepsItsOwnKeys) {
  CreateForms();
  KSRE->show();
  QApplication::setActiveWindow(KSRE);
  ASSERT_TRUE(QTest::qWaitForWindowActive(KSRE));
  PowerRecorder power;
  const UINT keys[4] = {'Q', 'W', 'E', 'R'};
  for (int style = 3; style >= 0; --style) {
    ASSERT_TRUE(desktop.keys->Press(keys[style]));
    EXPECT_TRUE(KSRE->miViewStyle[style]->isChecked()) << style;
  }
  EXPECT_FALSE(Form5->isVisible());
  EXPECT_TRUE(power.requests().empty());
  EXPECT_TRUE(boxes.questions().isEmpty());
  KSRE->hide();
  // with the main window in front, the same keys are the hotkeys again
  Form1->show();
  QApplication::setActiveWindow(Form1);
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  desktop.keys->Press('R');
  EXPECT_EQ(boxes.questions(), QStringList{"Opravdu restartovat počítač?"});
}

// Where no tray shows the icon, hiding the window would leave no way back.
TEST_F(TrayAndHotkeys, WithoutATrayTheWindowIsMinimisedAndComesBack) {
  desktop.tray->showsIcons = false;
  CreateForms();
  Form1->show();
  Form1->sButton10->click();
  EXPECT_TRUE(Form1->isVisible());
  EXPECT_TRUE(Form1->isMinimized());
  ASSERT_TRUE(desktop.keys->Press('W'));  // the show-window hotkey restores it
  EXPECT_FALSE(Form1->isMinimized());
  Form1->PonechatvTrayIkonce1->trigger();
  EXPECT_TRUE(Form1->isMinimized());
  desktop.tray->click(WM_LBUTTONUP);  // so does the icon, where one shows after all
  EXPECT_FALSE(Form1->isMinimized());

  desktop.tray->showsIcons = true;
  Form1->sButton10->click();
  EXPECT_FALSE(Form1->isVisible());
}

TEST_F(TrayAndHotkeys, StartedForATrayThatIsNotThere) {
  CreateForms();
  ShowMainWindowAtStart(true);
  EXPECT_FALSE(Form1->isVisible());
  desktop.tray->showsIcons = false;
  ShowMainWindowAtStart(true);
  EXPECT_TRUE(Form1->isVisible());
  EXPECT_TRUE(Form1->isMinimized());
}

TEST_F(TrayAndHotkeys, TheTrayIconAndItsMessages) {
  CreateForms();
  ASSERT_EQ(desktop.tray->added.size(), 1u);
  const NOTIFYICONDATAA& data = desktop.tray->added[0];
  EXPECT_EQ(data.cbSize, 88u);
  EXPECT_EQ(data.uFlags, 7u);
  EXPECT_EQ(data.uCallbackMessage, 1024u);
  EXPECT_EQ(data.uID, 0u);
  EXPECT_STREQ(data.szTip, "Ovlix");
  EXPECT_EQ(static_cast<HWND>(data.hWnd), Form1->Handle);

  int shows = 0;
  for (UINT ignored : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MBUTTONUP}) {
    desktop.tray->click(ignored);
    EXPECT_FALSE(Form1->isVisible());
  }
  // a double click: two button-up messages, the window shown once
  desktop.tray->click(WM_LBUTTONUP);
  if (Form1->isVisible()) ++shows;
  desktop.tray->click(WM_LBUTTONUP);
  EXPECT_EQ(shows, 1);
  EXPECT_TRUE(Form1->isVisible());

  desktop.tray->click(WM_RBUTTONUP);
  EXPECT_TRUE(Form1->tray->PopUpMenuTrayIcon->isVisible());
  Form1->tray->PopUpMenuTrayIcon->hide();
  EXPECT_EQ(desktop.tray->menu, nullptr);  // a tray that takes no menus

  DestroyForms();
  EXPECT_EQ(desktop.tray->removed, 1);
}

// A tray that opens the menu itself (as a D-Bus menu at the icon) gets it
// whole; the program opens none of its own then.
TEST_F(TrayAndHotkeys, TheMenuIsHandedToATrayThatTakesIt) {
  desktop.tray->takesMenus = true;
  CreateForms();
  EXPECT_EQ(desktop.tray->menu, Form1->tray->PopUpMenuTrayIcon);

  DestroyForms();
  EXPECT_EQ(desktop.tray->removed, 1);
}

TEST_F(TrayAndHotkeys, TheMenuInItsOrderWorksWhileTheWindowIsHidden) {
  CreateForms();
  QStringList entries;
  for (QAction* action : Form1->tray->PopUpMenuTrayIcon->actions())
    entries << (action->isSeparator() ? "-" : action->text());
  EXPECT_EQ(entries, (QStringList{"Otevřít Program", "Otevřít Process Killera", "-", "Otevřít CD-ROM", "Zavřít CD-ROM",
                                  "Vysypat Koš", "Vypnout počítač", "Restartovat počítač", "Odhlásit uživatele", "-",
                                  "O Programu", "Ukončit"}));
  Form1->hide();
  Form1->cdDoor->DriveCDROM->SetText("K:");
  Form1->tray->ZavtCDROM1->trigger();
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("CDROM", "driveCD", ""), "K:");
  for (auto [action, second] : {std::pair<QAction*, UINT>{Form1->tray->Vypnoutpota1, EWX_SHUTDOWN},
                                {Form1->tray->Restartovatpota1, EWX_REBOOT},
                                {Form1->tray->Odhlsituivatele1, EWX_LOGOFF}}) {
    PowerRecorder power;
    action->trigger();
    EXPECT_EQ(power.requests(), (Requests{{4, 0}, {second, 0}}));
  }
  EXPECT_TRUE(OpensModally(Form5, [&] { Form1->tray->OtevtProcessKillera1->trigger(); }));
  EXPECT_TRUE(OpensModally(Form2, [&] { Form1->tray->Oprogramu2->trigger(); }));
  EXPECT_FALSE(Form1->isVisible());
  Form1->tray->Otevthlavndialog1->trigger();
  EXPECT_TRUE(Form1->isVisible());
}

}  // namespace
