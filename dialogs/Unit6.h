// "Nové heslo": sets the password that guards the folder lock, or changes
// it when the current one is typed; success starts the folder lock.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "framework/form.h"

class TFormnh : public TForm {
  Q_OBJECT
 public:
  explicit TFormnh(QWidget* owner);

  QLabel* sLabel1;
  QLabel* sLabel2;     // "Stávající heslo:"
  QLineEdit* Edit1;    // the current password
  QLabel* sLabel3;     // "Nové heslo:"
  QLineEdit* Edit2;    // the new password
  QPushButton* sButton1;  // "OK"
  QPushButton* sButton2;  // "Cancel"

  void RbButton2Click();
  void RbButton1Click();
};
