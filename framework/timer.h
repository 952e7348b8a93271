// A window timer with the original framework's rules: interval 0 never
// ticks, a negative interval is refused with "Range check error" (the
// interval stays as it was), and ticks come no faster than the platform's
// minimum period of 10 ms. Each tick runs OnTimer through the guard.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class TTimer : public QObject {
  Q_OBJECT
 public:
  TTimer(QObject* owner, const QString& name, long long interval, bool enabled);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  void SetInterval(long long milliseconds);

  std::function<void()> OnTimer;

  // Called from OnTimer: the next tick comes no sooner than `milliseconds`
  // from now, then the timer goes on at its interval. A handler whose result
  // cannot change before then spares the program needless wake-ups.
  void DeferNextTick(unsigned milliseconds) { deferral_ = milliseconds; }

  static constexpr int kMinimumPeriod = 10;

 private:
  void Update();
  int Period() const;

  QTimer timer_{this};  // a child, so the tests can hold the clock
  bool enabled_ = false;
  unsigned interval_ = 0;
  unsigned deferral_ = 0;
};
