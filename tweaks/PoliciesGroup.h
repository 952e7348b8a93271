// "Nastavení zabezpečení" on the "Systém" page: the Explorer restrictions,
// written all at once by "Potvrdit".
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>

#include "framework/edit_combo.h"

class PoliciesGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit PoliciesGroup(QWidget* page);

  QCheckBox* IkonyPlocha;
  QCheckBox* NastaveniSystemu;
  QCheckBox* NastaveniListy;
  QCheckBox* SpustitStart;
  QCheckBox* NajitStart;
  QCheckBox* PristupDisk;
  TEditCombo* Disky;
  QPushButton* sButton20;  // "Potvrdit"
  QProgressBar* Progres;

  void Button13Click();
  // The list holds the drives from A: to N: that exist; the text stays.
  void FillDriveList();
};
