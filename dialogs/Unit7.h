// "Zadat heslo": asks for the password before the folder lock starts, and
// leads to "Nové heslo" to change it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "framework/form.h"

class TFormzh : public TForm {
  Q_OBJECT
 public:
  explicit TFormzh(QWidget* owner);

  QLabel* sLabel2;        // "Zadejte heslo pro přístup:"
  QLineEdit* Edit1;
  QPushButton* sButton2;  // "OK"
  QPushButton* sButton1;  // "Cancel"
  QPushButton* sButton3;  // "Změnit heslo"

  void RbButton10Click();
  void RbButton1Click();
  void RbButton2Click();
};
