#include "tweaks/PoliciesGroup.h"

#include "platform/drives.h"

PoliciesGroup::PoliciesGroup(QWidget* page) : QGroupBox(QStringLiteral("Nastavení zabezpečení"), page) {
  setObjectName(title());
  setGeometry(216, 2, 213, 192);
  Disky = new TEditCombo(this, "Disky", "A:");
  Disky->setGeometry(150, 138, 56, 24);
  Disky->SetItems({"A:", "B:", "C:", "D:", "E:", "F:", "G:"});
}

void PoliciesGroup::FillDriveList() {
  Disky->SetItems(platform::DriveNamesWhere('A', 'N', [](UINT type) { return type != DRIVE_NO_ROOT_DIR; }));
}
