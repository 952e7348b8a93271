#include "tweaks/WindowDragGroup.h"

#include "framework/widgets.h"

WindowDragGroup::WindowDragGroup(QWidget* page) : QGroupBox(QStringLiteral("Nastavení systému"), page) {
  setObjectName(title());
  setGeometry(4, 134, 208, 60);
  ObsahOkna = MakeCheckBox(this, "ObsahOkna", "Zobrazovat obsah okna při přetahování", {8, 18, 196, 36});
}
