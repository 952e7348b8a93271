// Ovlix: Process Killer: the process killer.
#pragma once

#include "framework/form.h"

class TForm5 : public TForm {
  Q_OBJECT
 public:
  explicit TForm5(QWidget* owner);
};
