// Ovlix: Resource Extractor: the resource explorer.
#pragma once

#include "framework/form.h"

class TKSRE : public TForm {
  Q_OBJECT
 public:
  explicit TKSRE(QWidget* owner);
};
