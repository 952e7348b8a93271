// "Zvláštnosti" on the "Další nastavení a doplňky" page: the keyboard-LED
// blinker. The lights run Num, Caps, Scroll, Caps, Num, ... one step a tick
// of the main window's Timer3.
#pragma once

#include <QGroupBox>
#include <QPushButton>

#include "framework/spin_edit.h"
#include "framework/timer.h"

class BlinkerGroup : public QGroupBox {
  Q_OBJECT
 public:
  BlinkerGroup(QWidget* page, TTimer* timer3);

  QPushButton* sButton5;  // "Zapnout / Vypnout"
  TSpinEdit* RychlostBlikani;

  void Button8Click() { ToggleBlinker(); }
  void ToggleBlinker();
  void Timer3Timer();

  // 1 while the light runs from Num towards Scroll, 2 on its way back.
  int BlinkPhase = 0;

 private:
  TTimer* Timer3;
  bool boxOpen_ = false;
  // The lock lights as they were when the blinker started, given back when
  // it stops: a Caps Lock left on would type capitals into the next program.
  bool before_[3] = {};
  bool unreachableTold_ = false;
};
