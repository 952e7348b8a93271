// Tipy a Triky pro systémy Windows: the tips and tricks viewer.
#pragma once

#include "framework/form.h"

class TTipy : public TForm {
  Q_OBJECT
 public:
  explicit TTipy(QWidget* owner);
};
