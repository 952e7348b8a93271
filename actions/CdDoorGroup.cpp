#include "actions/CdDoorGroup.h"

#include "framework/widgets.h"
#include "platform/drives.h"

CdDoorGroup::CdDoorGroup(QWidget* page) : QGroupBox(QStringLiteral("Ovládání CD/DVD mechanik"), page) {
  setObjectName(title());
  setGeometry(4, 2, 425, 90);
  MakeLabel(this, "Label1", "Jednotka:", {12, 54, 60, 21});
  DriveCDROM = new TEditCombo(this, "DriveCDROM", "D:");
  DriveCDROM->setGeometry(76, 52, 80, 24);
}

void CdDoorGroup::FillDriveList() {
  DriveCDROM->SetItems(platform::DriveNamesWhere('A', 'W', [](UINT type) { return type == DRIVE_CDROM; }));
}
