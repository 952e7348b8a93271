// "Zadat heslo": asks for the password before the folder lock starts, and
// leads to "Nové heslo" to change it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "framework/form.h"

class TFormnh;

class TFormzh : public TForm {
  Q_OBJECT
 public:
  // `newPassword` is the "Nové heslo" window "Změnit heslo" leads to.
  TFormzh(QWidget* owner, TFormnh& newPassword);

  // built when the window is first shown
  QLabel* sLabel2 = nullptr;  // "Zadejte heslo pro přístup:"
  QLineEdit* Edit1 = nullptr;
  QPushButton* sButton2 = nullptr;  // "OK"
  QPushButton* sButton1 = nullptr;  // "Cancel"
  QPushButton* sButton3 = nullptr;  // "Změnit heslo"

  void RbButton10Click();
  void RbButton1Click();
  void RbButton2Click();

 protected:
  void CreateControls() override;

 private:
  TFormnh& newPassword_;
};
