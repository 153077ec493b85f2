#pragma once

namespace kelvane {

// A repeating timer whose ticks run on the user-interface thread.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

}  // namespace kelvane
