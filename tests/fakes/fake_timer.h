#pragma once

#include <string>

#include "tests/fakes/recorder.h"
#include "toolkit/timer.h"

namespace kelvane::testing {

class FakeTimer : public Timer {
 public:
  FakeTimer(Recorder& log, std::string name, bool enabled) : log_(log), name_(std::move(name)), enabled_(enabled) {}
  void SetEnabled(bool e) override {
    enabled_ = e;
    log_.Add(name_ + (e ? " on" : " off"));
  }
  bool Enabled() const override { return enabled_; }

 private:
  Recorder& log_;
  std::string name_;
  bool enabled_;
};

}  // namespace kelvane::testing
