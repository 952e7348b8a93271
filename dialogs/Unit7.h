// Zadat heslo: the dialog that asks for the program password.
#pragma once

#include "framework/form.h"

class TFormzh : public TForm {
  Q_OBJECT
 public:
  explicit TFormzh(QWidget* owner);
};
