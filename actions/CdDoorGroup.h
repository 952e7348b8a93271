// "Ovládání CD/DVD mechanik" on the "CD/DVD mechaniky" page.
#pragma once

#include <QGroupBox>
#include <QPushButton>

#include "framework/edit_combo.h"

class CdDoorGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit CdDoorGroup(QWidget* page);

  QPushButton* sButton24;  // "Otevřít"
  QPushButton* sButton23;  // "Zavřít"
  TEditCombo* DriveCDROM;

  // Every door route: the drive in the box, the door command, the drive
  // stored whether or not the door moved.
  void Button17Click();
  void Button18Click();

  // The list holds the CD drives from A: to W:; the text stays.
  void FillDriveList();
};
