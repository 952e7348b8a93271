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

  // built when the window is first shown
  QLabel* sLabel1 = nullptr;
  QLabel* sLabel2 = nullptr;        // "Stávající heslo:"
  QLineEdit* Edit1 = nullptr;       // the current password
  QLabel* sLabel3 = nullptr;        // "Nové heslo:"
  QLineEdit* Edit2 = nullptr;       // the new password
  QPushButton* sButton1 = nullptr;  // "OK"
  QPushButton* sButton2 = nullptr;  // "Cancel"

  void RbButton2Click();
  void RbButton1Click();

 protected:
  void CreateControls() override;
};
