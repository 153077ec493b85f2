#pragma once
// The sound device of a desktop: its sound server, else ALSA, else the
// silent clock. Opening it may take long (a server that accepts the
// connection and never answers takes forever), so it is opened on a thread
// of its own and the caller never waits: nothing renders until an output is
// found, and a server that has not answered within kServerPatience gives way
// to the silent clock.

#include <fluidsynth.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sound/audio_output.h"

namespace kelvane {

inline constexpr std::chrono::seconds kServerPatience{2};

class DesktopOutput : public Output {
 public:
  // Called once, on the opening thread, with the name of the output in use
  // and, when that is the silent clock, why no device opened ("PulseAudio:
  // ...; ALSA: ...").
  using Opened = std::function<void(const std::string& name, const std::string& failures)>;

  DesktopOutput(fluid_settings_t* settings, Renderer& renderer, int sampleRate, Opened opened);
  // Stops opening if it has not finished, without waiting for the server.
  ~DesktopOutput() override;
  DesktopOutput(const DesktopOutput&) = delete;
  DesktopOutput& operator=(const DesktopOutput&) = delete;

  // "opening" until an output is found.
  std::string Name() const override;

 private:
  void Open();
  std::unique_ptr<Output> OpenServer(std::string& failures, bool& answered);
  bool Closing() const;
  // Waits on the opening thread for `done` or the end of the object; false when cut short.
  bool WaitUntil(std::chrono::steady_clock::time_point deadline, const std::function<bool()>& done);

  fluid_settings_t* settings_;
  Renderer& renderer_;
  int sampleRate_;
  Opened opened_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool closing_ = false;
  std::unique_ptr<Output> output_;  // guarded by mutex_
  std::thread thread_;
};

}  // namespace kelvane
