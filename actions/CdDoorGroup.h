// "Ovládání CD/DVD mechanik" on the "CD/DVD mechaniky" page.
#pragma once

#include <QGroupBox>

#include "framework/edit_combo.h"

class CdDoorGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit CdDoorGroup(QWidget* page);

  TEditCombo* DriveCDROM;

  // The list holds the CD drives from A: to W:; the text stays.
  void FillDriveList();
};
