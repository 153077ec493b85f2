#pragma once
// The output of a machine without sound: a thread renders the synthesizer
// into nothing in real time, so a session still lasts as long as it sounds.

#include <condition_variable>
#include <mutex>
#include <thread>

#include "sound/audio_output.h"

namespace kelvane {

class SilentClock : public Output {
 public:
  static constexpr const char* kName = "silent clock";

  SilentClock(Renderer& renderer, int sampleRate);
  ~SilentClock() override;
  std::string Name() const override { return kName; }

 private:
  void Run();

  Renderer& renderer_;
  int sampleRate_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kelvane
