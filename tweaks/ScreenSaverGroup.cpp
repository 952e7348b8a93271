#include "tweaks/ScreenSaverGroup.h"

#include "framework/convert.h"
#include "framework/handler_guard.h"
#include "framework/message_box.h"
#include "framework/registry_access.h"
#include "framework/widgets.h"
#include "platform/desktop_settings.h"

ScreenSaverGroup::ScreenSaverGroup(QWidget* page) : QGroupBox(QStringLiteral("Spořič"), page) {
  setObjectName(title());
  setGeometry(4, 270, 425, 54);
  MakeLabel(this, "Label4", "Vyčkat", {8, 22, 44, 21});
  SporicMinuty = new TSpinEdit(this, "SporicMinuty", 0);
  SporicMinuty->setGeometry(56, 20, 72, 24);
  MakeLabel(this, "Label5", "minut", {134, 22, 44, 21});
  sButton14 = MakeButton(this, "sButton14", "Použít nastavení", {260, 20, 157, 24});
  Bind(sButton14, &QPushButton::clicked, this, &ScreenSaverGroup::Button19Click);
}

void ScreenSaverGroup::Button19Click() {
  int seconds = CheckedMultiply(SporicMinuty->Value(), 60);
  TRegistry reg(platform::RootKey::CurrentUser);
  reg.OpenKey("\\Control panel\\Desktop", true);
  reg.DeleteValue("ScreenSaveTimeOut");
  reg.WriteString("ScreenSaveTimeOut", IntToStr(seconds));
  reg.CloseKey();
  platform::DesktopSettings().ScreenSaverDelay(seconds);
  platform::ServerScreenSaver().SetTimeout(seconds);
  ShowBox(BoxKind::Information, QStringLiteral("Vaše nastavení bylo přijato."));
}
