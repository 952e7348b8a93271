#include "framework/timer.h"

#include <algorithm>

#include "framework/convert.h"
#include "framework/handler_guard.h"

TTimer::TTimer(QObject* owner, const QString& name, long long interval, bool enabled)
    : QObject(owner), enabled_(enabled), interval_(CheckedCardinal(interval)) {
  setObjectName(name);
  connect(&timer_, &QTimer::timeout, this, [this] {
    deferral_ = 0;
    if (OnTimer) Guard(OnTimer);
    if (!timer_.isActive()) return;  // the handler stopped the timer
    if (deferral_ > interval_)
      timer_.start(static_cast<int>(std::min<unsigned>(deferral_, 0x7FFFFFFF)));
    else if (timer_.interval() != Period())
      Update();
  });
  Update();
}

// As in the original framework, setting the state or the interval a timer
// already has does not restart its period.
void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(long long milliseconds) {
  unsigned interval = CheckedCardinal(milliseconds);
  if (interval == interval_) return;
  interval_ = interval;
  Update();
}

int TTimer::Period() const {
  return static_cast<int>(std::min<unsigned>(std::max<unsigned>(interval_, kMinimumPeriod), 0x7FFFFFFF));
}

void TTimer::Update() {
  if (!enabled_ || interval_ == 0) {
    timer_.stop();
    return;
  }
  timer_.start(Period());
}
