// A window timer's clock in the test's hand: whether and at what period the
// platform timer under it runs, and its ticks made to come now, so timer
// rules are checked without waiting and without measuring time.
#pragma once

#include <QMetaObject>
#include <QTimer>

#include "framework/timer.h"

class TimerClock {
 public:
  explicit TimerClock(const TTimer& timer) : clock_(timer.findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly)) {}

  bool Running() const { return clock_ != nullptr && clock_->isActive(); }
  // The time to the next tick, in milliseconds.
  int Period() const { return clock_ != nullptr ? clock_->interval() : -1; }
  // The tick that is due, now; false when none is due (the timer is stopped).
  bool Tick() { return Running() && QMetaObject::invokeMethod(clock_, "timeout", Qt::DirectConnection); }

 private:
  QTimer* clock_;
};
