#include "actions/CdDoorGroup.h"

#include "actions/cd_door.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/widgets.h"
#include "platform/drives.h"

CdDoorGroup::CdDoorGroup(QWidget* page) : QGroupBox(QStringLiteral("Ovládání CD/DVD mechanik"), page) {
  setObjectName(title());
  setGeometry(4, 2, 425, 90);
  sButton24 = MakeButton(this, "sButton24", "Otevřít", {12, 20, 120, 24});
  sButton23 = MakeButton(this, "sButton23", "Zavřít", {140, 20, 120, 24});
  Bind(sButton24, &QPushButton::clicked, this, &CdDoorGroup::Button17Click);
  Bind(sButton23, &QPushButton::clicked, this, &CdDoorGroup::Button18Click);
  MakeLabel(this, "Label1", "Jednotka:", {12, 54, 60, 21});
  DriveCDROM = new TEditCombo(this, "DriveCDROM", "D:");
  DriveCDROM->setGeometry(76, 52, 80, 24);
}

namespace {
void StoreDrive(const QString& drive) { TIniFile(kSettingsFile).WriteString("CDROM", "driveCD", drive.toStdString()); }
}  // namespace

void CdDoorGroup::Button17Click() {
  OpenCDDoor(DriveCDROM->Text().toStdString());
  StoreDrive(DriveCDROM->Text());
}

void CdDoorGroup::Button18Click() {
  CloseCDDoor(DriveCDROM->Text().toStdString());
  StoreDrive(DriveCDROM->Text());
}

void CdDoorGroup::FillDriveList() {
  DriveCDROM->SetItems(platform::DriveNamesWhere('A', 'W', [](UINT type) { return type == DRIVE_CDROM; }));
}
