// "Zvláštnosti" on the "Další nastavení a doplňky" page: the keyboard-LED
// blinker.
#pragma once

#include <QGroupBox>

#include "framework/spin_edit.h"

class BlinkerGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit BlinkerGroup(QWidget* page);

  TSpinEdit* RychlostBlikani;
};
