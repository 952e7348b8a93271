// "Ovládání systému" on the "Systém" page: the power buttons.
#pragma once

#include <QGroupBox>
#include <QPushButton>

class PowerGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit PowerGroup(QWidget* page);

  QPushButton* sButton4;  // "Odhlásit uživatele"
  QPushButton* sButton3;  // "Restartovat počítač"
  QPushButton* sButton2;  // "Vypnout počítač"

  void Button2Click();
  void Button3Click();
  void Button4Click();
};
