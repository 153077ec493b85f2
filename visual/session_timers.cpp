#include "visual/session_timers.h"

#include <algorithm>

#include "visual/pulse.h"
#include "visual/tunnel.h"

namespace kelvane {

void SessionTimers::Repeating::SetEnabled(bool enabled) {
  if (enabled && !enabled_) next_ = now_ + interval_;
  enabled_ = enabled;
}

void SessionTimers::Repeating::Take() {
  while (next_ <= now_) next_ += interval_;
}

SessionTimers::SessionTimers(double unitsPerSecond, double tickRate, double firstPulse)
    : tunnel_(now_, unitsPerSecond / tickRate, unitsPerSecond / tickRate),
      pulse_(now_, unitsPerSecond * kPulseSeconds, unitsPerSecond * firstPulse) {}

double SessionTimers::NextTick() const {
  return tunnel_.Enabled() ? std::min(tunnel_.Next(), pulse_.Next()) : pulse_.Next();
}

void SessionTimers::AdvanceTo(double time) { now_ = std::max(now_, time); }

SessionTimers::Due SessionTimers::TakeDue() {
  Due due{pulse_.Due(), tunnel_.Due()};
  if (due.pulse) pulse_.Take();
  if (due.tunnel) tunnel_.Take();
  return due;
}

void SessionTimers::RunDue(SessionState& s, Surface& surface) {
  const Due due = TakeDue();
  if (due.pulse) Timer3Timer(s);
  if (due.tunnel) Timer2Timer(s, surface);
}

void SessionTimers::RunUntil(double time, SessionState& s, Surface& surface) {
  for (double next = NextTick(); next <= time; next = NextTick()) {
    AdvanceTo(next);
    RunDue(s, surface);
  }
  AdvanceTo(time);
}

}  // namespace kelvane
