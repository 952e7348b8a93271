// "Spořič" on the "Plocha, start a spořič" page: the screen-saver delay.
#pragma once

#include <QGroupBox>
#include <QPushButton>

#include "framework/spin_edit.h"

class ScreenSaverGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit ScreenSaverGroup(QWidget* page);

  TSpinEdit* SporicMinuty;
  QPushButton* sButton14;  // "Použít nastavení"

  void Button19Click();
};
