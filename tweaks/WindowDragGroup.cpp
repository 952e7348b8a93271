#include "tweaks/WindowDragGroup.h"

#include "framework/handler_guard.h"
#include "framework/message_box.h"
#include "framework/registry_access.h"
#include "framework/widgets.h"
#include "platform/desktop_settings.h"

WindowDragGroup::WindowDragGroup(QWidget* page) : QGroupBox(QStringLiteral("Nastavení systému"), page) {
  setObjectName(title());
  setGeometry(4, 134, 208, 76);
  ObsahOkna = MakeCheckBox(this, "ObsahOkna", "Zobrazovat obsah okna při přetahování", {4, 16, 202, 20});
  // the caption is a little wider than the column; draw it a little closer
  QFont narrow = ObsahOkna->font();
  narrow.setLetterSpacing(QFont::PercentageSpacing, 91);
  ObsahOkna->setFont(narrow);
  sButton19 = MakeButton(this, "sButton19", "OK", {6, 44, 196, 24});
  Bind(sButton19, &QPushButton::clicked, this, &WindowDragGroup::Button5Click);
}

void WindowDragGroup::Button5Click() {
  TRegistry reg(platform::RootKey::CurrentUser);
  reg.OpenKey("\\Control panel\\Desktop", true);
  reg.DeleteValue("DragFullWindows");  // a value of another type goes first
  reg.WriteString("DragFullWindows", ObsahOkna->isChecked() ? "1" : "0");
  reg.CloseKey();
  platform::DesktopSettings().WindowContentsWhileDragging(ObsahOkna->isChecked());
  ShowBox(BoxKind::Information, QStringLiteral("Vaše nastavení bylo přijato. Změny se projeví po restartu systému!"));
}
