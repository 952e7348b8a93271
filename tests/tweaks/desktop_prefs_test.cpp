#include <QLineEdit>
#include <QSignalSpy>

#include "framework/registry_access.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/registry_read.h"
#include "tweaks/ProgramFilesGroup.h"
#include "tweaks/ScreenSaverGroup.h"
#include "tweaks/WindowDragGroup.h"

namespace {

class DesktopPrefs : public FormsTest {
 protected:
  void SetUp() override { CreateForms(); }
  platform::RegValue Desktop(const char* name) {
    return ReadValue(platform::RootKey::CurrentUser, "Control Panel\\Desktop", name);
  }
};

TEST_F(DesktopPrefs, WindowDraggingIsWrittenAsTextOfAnyFormerType) {
  {
    TRegistry reg;
    reg.OpenKey("\\Control Panel\\Desktop", true);
    reg.WriteInteger("DragFullWindows", 1);
  }
  Form1->windowDrag->ObsahOkna->setChecked(false);
  Form1->windowDrag->sButton19->click();
  EXPECT_EQ(Desktop("DragFullWindows"), platform::RegValue::String("0"));
  Form1->windowDrag->ObsahOkna->setChecked(true);
  Form1->windowDrag->Button5Click();
  EXPECT_EQ(Desktop("DragFullWindows"), platform::RegValue::String("1"));
  EXPECT_EQ(boxes.texts().front(), "Vaše nastavení bylo přijato. Změny se projeví po restartu systému!");
}

TEST_F(DesktopPrefs, TheScreenSaverDelayInSeconds) {
  TSpinEdit* minutes = Form1->screenSaver->SporicMinuty;
  minutes->SetValue(10);
  Form1->screenSaver->Button19Click();
  EXPECT_EQ(Desktop("ScreenSaveTimeOut"), platform::RegValue::String("600"));
  minutes->SetValue(-1);
  Form1->screenSaver->Button19Click();
  EXPECT_EQ(Desktop("ScreenSaveTimeOut"), platform::RegValue::String("-60"));
  minutes->findChild<QLineEdit*>()->setText("deset");
  Form1->screenSaver->Button19Click();
  EXPECT_EQ(Desktop("ScreenSaveTimeOut"), platform::RegValue::String("0"));
  EXPECT_EQ(boxes.texts(), (QStringList{"Vaše nastavení bylo přijato.", "Vaše nastavení bylo přijato.",
                                        "Vaše nastavení bylo přijato."}));
  minutes->SetValue(35791395);  // 60 times that leaves the 32-bit range
  Form1->screenSaver->sButton14->click();
  EXPECT_EQ(boxes.texts().last(), "Integer overflow");
  EXPECT_EQ(Desktop("ScreenSaveTimeOut"), platform::RegValue::String("0"));
}

TEST_F(DesktopPrefs, TheProgramFilesFolderTwiceAndTheBar) {
  Form1->programFiles->Edit1->setText("");
  QSignalSpy steps(Form1->programFiles->progres1, &QProgressBar::valueChanged);
  Form1->programFiles->RbButton24Click();
  const char* key = "software\\Microsoft\\windows\\CurrentVersion";
  EXPECT_EQ(ReadValue(platform::RootKey::LocalMachine, key, "ProgramFilesDir"), platform::RegValue::String(""));
  EXPECT_EQ(ReadValue(platform::RootKey::LocalMachine, key, "ProgramFilesPath"), platform::RegValue::String(""));
  ASSERT_EQ(steps.size(), 2);
  EXPECT_EQ(steps[1].at(0).toInt(), 100);
  EXPECT_TRUE(Form1->programFiles->progres1->isHidden());
  Form1->programFiles->sButton21->click();
  EXPECT_TRUE(boxes.texts().last().startsWith("Tato funkce nastavuje složku"));
}

TEST_F(DesktopPrefs, TheNextStartShowsWhatWasWritten) {
  Form1->screenSaver->SporicMinuty->SetValue(0);
  {
    TRegistry reg;
    reg.OpenKey("\\Control Panel\\Desktop", true);
    reg.WriteString("ScreenSaveTimeOut", "90");
  }
  Form1->programFiles->Edit1->setText("D:\\Programy");
  Form1->programFiles->RbButton24Click();
  DestroyForms();
  CreateForms();
  EXPECT_EQ(Form1->screenSaver->SporicMinuty->Value(), 1);
  EXPECT_EQ(Form1->programFiles->Edit1->text(), "D:\\Programy");
}

}  // namespace
