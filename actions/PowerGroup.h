// "Ovládání systému" on the "Systém" page: the power buttons and the
// recycle bin.
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
  QPushButton* sButton1;  // "Vysypat Koš"

  void Button1Click();

  void Button2Click();
  void Button3Click();
  void Button4Click();
};
