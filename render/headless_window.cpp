#include "render/headless_window.h"

namespace kelvane {

void HeadlessShell::SetStatusText(int panel, const std::string& text) {
  panels_.at(static_cast<std::size_t>(panel)) = text;
}

void HeadlessShell::Beep() {
  ++beeps_;
  if (beep_) beep_();
}

SimulatedTimer::SimulatedTimer(const std::int64_t& clock, double interval, bool enabled)
    : clock_(clock), interval_(interval), enabled_(enabled), next_(static_cast<double>(clock) + interval) {}

void SimulatedTimer::SetEnabled(bool enabled) {
  if (enabled && !enabled_) next_ = static_cast<double>(clock_) + interval_;
  enabled_ = enabled;
}

}  // namespace kelvane
