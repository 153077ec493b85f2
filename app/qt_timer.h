#pragma once

#include <QTimer>

#include "toolkit/timer.h"

namespace kelvane {

// A QTimer seen through the Timer interface. Created running, as the
// window's timers are.
class QtTimer : public Timer {
 public:
  QtTimer(int intervalMs, Qt::TimerType type) {
    timer_.setTimerType(type);
    timer_.setInterval(intervalMs);
    timer_.start();
  }
  void SetEnabled(bool enabled) override {
    if (enabled == timer_.isActive()) return;
    if (enabled) timer_.start(); else timer_.stop();
  }
  bool Enabled() const override { return timer_.isActive(); }
  QTimer& timer() { return timer_; }

 private:
  QTimer timer_;
};

}  // namespace kelvane
