#include <QTest>
#include <QTimer>

#include "actions/CdDoorGroup.h"
#include "app/Hotkeys.h"
#include "app/TrayIcon.h"
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

  desktop.keys->Press('Y');
  EXPECT_FALSE(std::filesystem::exists(root.dir() / "data" / "Trash" / "files" / "old.txt"));

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
