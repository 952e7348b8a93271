// Nastavení klávesových zkratek: the hotkey settings dialog.
#pragma once

#include "framework/form.h"

class TForm4 : public TForm {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* owner);
};
