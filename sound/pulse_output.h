#pragma once
// The desktop's sound server (PulseAudio, or PipeWire's PulseAudio server)
// through libpulse. Connecting never blocks the caller: libpulse's own
// thread connects, asks for a stream named Kelvane, and from then on renders
// each block the server asks for straight from its request, so the server's
// pace is the only one and a period costs one wake-up.

#include <pulse/pulseaudio.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "sound/audio_output.h"

namespace kelvane {

class PulseOutput : public Output {
 public:
  enum class State { Connecting, Ready, Failed };

  // Starts connecting to the server libpulse finds (PULSE_SERVER, the
  // user's runtime directory, ...). `changed` runs once, when the stream is
  // ready or the connection has failed: on libpulse's thread, or right here
  // when the connection fails at once. It must not destroy the output.
  PulseOutput(Renderer& renderer, int sampleRate, std::function<void()> changed);
  ~PulseOutput() override;
  PulseOutput(const PulseOutput&) = delete;
  PulseOutput& operator=(const PulseOutput&) = delete;

  std::string Name() const override { return "PulseAudio"; }
  State CurrentState() const;
  // Why it failed, as libpulse says it.
  std::string Failure() const;

 private:
  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnWrite(pa_stream* stream, size_t bytes, void* self);
  void OpenStream();
  void Write(size_t bytes);
  void Settle(State state, const std::string& failure = {});

  Renderer& renderer_;
  int sampleRate_;
  std::function<void()> changed_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  std::vector<float> left_, right_;  // one block, rendered before it is interleaved

  mutable std::mutex mutex_;
  State state_ = State::Connecting;
  std::string failure_;
};

}  // namespace kelvane
