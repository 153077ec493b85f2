#pragma once
// The main window's two timers on a clock of their own, for running the
// tunnel without a window: Timer2, the tunnel tick, every 1/tickRate s while
// it is enabled, counted from when it was enabled; Timer3, the pulse, every
// 50 ms from the start. Like a window's timers they never make up ticks:
// ticks that fell due together run once. The headless renderer, the
// editor's preview and the title artwork all run the tunnel on it.

#include "state/session_state.h"
#include "toolkit/surface.h"
#include "toolkit/timer.h"

namespace kelvane {

class SessionTimers {
 public:
  static constexpr double kPulseSeconds = 0.050;

  // The clock counts `unitsPerSecond` (samples, milliseconds, ...) from 0.
  // The pulse's first tick comes at firstPulse seconds (at most 50 ms): a
  // window's Timer3 runs from its start, so at an Open it stands anywhere
  // in its period.
  SessionTimers(double unitsPerSecond, double tickRate, double firstPulse = kPulseSeconds);

  // Timer2 as the procedures see it: enabled when created, as the window's is.
  Timer& TunnelTimer() { return tunnel_; }

  double Now() const { return now_; }
  // The time of the next tick of either timer; the tunnel's only while enabled.
  double NextTick() const;
  // Moves the clock on without running anything.
  void AdvanceTo(double time);
  // Which timers tick now, each taking every tick due by now as one.
  struct Due {
    bool pulse = false;
    bool tunnel = false;
  };
  Due TakeDue();
  // Runs the ticks due by now, Timer3Timer before Timer2Timer, each once.
  void RunDue(SessionState& s, Surface& surface);
  // Runs every tick up to `time` at its own moment, in order.
  void RunUntil(double time, SessionState& s, Surface& surface);

 private:
  class Repeating : public Timer {
   public:
    Repeating(const double& now, double interval, double first) : now_(now), interval_(interval), next_(now + first) {}
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }
    double Next() const { return next_; }
    bool Due() const { return enabled_ && next_ <= now_; }
    // Takes every tick due by now as one.
    void Take();

   private:
    const double& now_;
    double interval_;
    bool enabled_ = true;
    double next_;
  };

  double now_ = 0;
  Repeating tunnel_;
  Repeating pulse_;
};

}  // namespace kelvane
