#include "tweaks/StartButtonGroup.h"

#include "framework/widgets.h"

StartButtonGroup::StartButtonGroup(QWidget* page) : QGroupBox(QStringLiteral("Tlačítko start"), page) {
  setObjectName(title());
  setGeometry(4, 126, 425, 120);
  CestaStart = MakeEdit(this, "CestaStart", "C:\\", {8, 20, 409, 22});
  CBox = MakeCheckBox(this, "CBox", "Vkládat po spuštění programu", {8, 90, 250, 20});
}
