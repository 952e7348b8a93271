#include "dialogs/Unit4.h"
#include "framework/window_frame.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/forms_fixture.h"

namespace {

class HotkeyDialog : public FormsTest {
 protected:
  void SetUp() override { CreateForms(); }
  QStringList Shown() {
    QStringList texts;
    for (TEditCombo* box : Form4->v) texts << box->Text();
    return texts;
  }
  FakeDesktop desktop;
};

TEST_F(HotkeyDialog, ARoundTripThatBindsAtTheNextStart) {
  Form4->show();
  EXPECT_EQ(Shown(), (QStringList{"W", "E", "F11", "F12", "Y", "Q", "R"}));
  EXPECT_EQ(Form4->v[0]->count(), 38);
  EXPECT_EQ(Form4->v[0]->itemText(26), "F1");
  Form4->v[0]->SetText("F5");
  Form4->v[1]->SetText("w");  // no checks: stored as typed
  Form4->sButton1->click();
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("zkratky", "p1", ""), "F5");
  EXPECT_EQ(TIniFile("Trelmo.ini").ReadString("zkratky", "p2", ""), "w");
  Form4->show();
  EXPECT_EQ(Shown()[0], "F5");
  Form4->hide();
  EXPECT_EQ(desktop.keys->Keys().count('W'), 1u);  // this run keeps its keys
  DestroyForms();
  CreateForms();
  EXPECT_EQ(desktop.keys->Keys().count(116), 1u);  // F5
  EXPECT_EQ(desktop.keys->Keys().count('W'), 0u);
  EXPECT_EQ(desktop.keys->Keys().count('E'), 0u);
}

// A Wayland desktop without the shortcuts portal: keys set here would do
// nothing, and the dialog says so.
TEST_F(HotkeyDialog, SaysWhenTheDesktopOffersNoGlobalKeys) {
  Form4->show();
  EXPECT_FALSE(Form4->ZadneZkratky->isVisible());
  Form4->hide();
  desktop.keys->offered = false;
  Form4->show();
  EXPECT_TRUE(Form4->ZadneZkratky->isVisible());
  EXPECT_EQ(Form4->ZadneZkratky->text(), "Toto prostředí nenabízí globální klávesové zkratky.");
  EXPECT_GT(Form4->sButton1->y(), Form4->ZadneZkratky->geometry().bottom());
  EXPECT_LE(Form4->sButton1->geometry().bottom(), Form4->height());
}

// GNOME, weston: the program's own title bar above the dialog, and the
// dialog's own layout unchanged below it
class HotkeyDialogUnderItsOwnFrame : public HotkeyDialog {
 protected:
  void SetUp() override {
    SetOwnWindowFrames(true);
    CreateForms();
  }
  void TearDown() override {
    HotkeyDialog::TearDown();
    SetOwnWindowFrames(false);
  }
};

TEST_F(HotkeyDialogUnderItsOwnFrame, PlacesItsButtonBelowTheBar) {
  desktop.keys->offered = false;
  Form4->show();
  auto* bar = Form4->findChild<QWidget*>("WindowTitleBar");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(Form4->sButton1->y(), bar->height() + 245);
  EXPECT_EQ(Form4->height(), bar->height() + 277);
  Form4->hide();
  desktop.keys->offered = true;
  Form4->show();
  EXPECT_EQ(Form4->sButton1->y(), bar->height() + 225);
  EXPECT_EQ(Form4->height(), bar->height() + 257);
}

TEST_F(HotkeyDialog, TheCloseBoxStoresNothing) {
  Form4->show();
  Form4->v[2]->SetText("A");
  Form4->close();
  EXPECT_FALSE(std::filesystem::exists(root.windows() / "Trelmo.ini"));
  Form4->show();
  EXPECT_EQ(Shown()[2], "F11");
}

TEST_F(HotkeyDialog, AFailedWriteKeepsTheDialogOpen) {
  Form4->show();
  root.Write(root.windows(), "not a folder");
  Form4->sButton1->click();
  EXPECT_EQ(boxes.texts(), QStringList{"Unable to write to Trelmo.ini"});
  EXPECT_TRUE(Form4->isVisible());
}

}  // namespace
