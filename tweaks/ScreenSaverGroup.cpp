#include "tweaks/ScreenSaverGroup.h"

#include "framework/widgets.h"

ScreenSaverGroup::ScreenSaverGroup(QWidget* page) : QGroupBox(QStringLiteral("Spořič"), page) {
  setObjectName(title());
  setGeometry(4, 250, 425, 74);
  MakeLabel(this, "Label4", "Vyčkat", {8, 24, 44, 21});
  SporicMinuty = new TSpinEdit(this, "SporicMinuty", 0);
  SporicMinuty->setGeometry(56, 22, 72, 24);
  MakeLabel(this, "Label5", "minut", {134, 24, 44, 21});
}
