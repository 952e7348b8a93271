// "Nastavení zabezpečení" on the "Systém" page: the Explorer restrictions.
#pragma once

#include <QGroupBox>

#include "framework/edit_combo.h"

class PoliciesGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit PoliciesGroup(QWidget* page);

  TEditCombo* Disky;

  // The list holds the drives from A: to N: that exist; the text stays.
  void FillDriveList();
};
