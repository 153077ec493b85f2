#include "render/headless_window.h"

namespace kelvane {

void HeadlessShell::SetStatusText(int panel, const std::string& text) {
  panels_.at(static_cast<std::size_t>(panel)) = text;
}

void HeadlessShell::Beep() {
  ++beeps_;
  if (beep_) beep_();
}

}  // namespace kelvane
