// Nové heslo: the dialog that sets the program password.
#pragma once

#include "framework/form.h"

class TFormnh : public TForm {
  Q_OBJECT
 public:
  explicit TFormnh(QWidget* owner);
};
