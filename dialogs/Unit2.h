// O programu: the about box.
#pragma once

#include "framework/form.h"

class TForm2 : public TForm {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* owner);
};
