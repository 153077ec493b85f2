#pragma once
// FluidSynth's log: its warnings and chatter stay off standard error, its
// errors still show, except while an output is being tried, when they are
// kept for the one line that says which output is used.

#include <string>

namespace kelvane {

// Installs the log functions; harmless to call again.
void QuietFluidSynthLog();

// While one exists, FluidSynth's error messages are collected instead of
// shown; the newest capture collects them.
class FluidErrorCapture {
 public:
  FluidErrorCapture();
  ~FluidErrorCapture();
  FluidErrorCapture(const FluidErrorCapture&) = delete;
  FluidErrorCapture& operator=(const FluidErrorCapture&) = delete;
  // The messages so far, joined by "; ".
  std::string Text() const;

 private:
  std::string text_;
  std::string* previous_;  // the capture this one interrupts, if any
};

}  // namespace kelvane
