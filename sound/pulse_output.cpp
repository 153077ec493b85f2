#include "sound/pulse_output.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace kelvane {
namespace {

// About 12 ms a period in whole blocks of the synthesizer's 64 frames (512
// at 44.1 kHz, the silent clock's block). The server is asked for a block
// whenever one has been played and keeps four queued: 46 ms, enough for a
// busy machine, and still well short of what a listener notices.
constexpr int kQueuedPeriods = 4;

int PeriodFrames(int sampleRate) { return std::max(1, static_cast<int>(sampleRate * 0.012 / 64)) * 64; }

constexpr std::size_t kFrameBytes = 2 * sizeof(float);

// What the desktop's mixer shows for the stream and its program.
pa_proplist* ApplicationProperties() {
  pa_proplist* props = pa_proplist_new();
  pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Kelvane");
  pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "kelvane");
  pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "kelvane");
  pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "music");
  return props;
}

}  // namespace

PulseOutput::PulseOutput(Renderer& renderer, int sampleRate, std::function<void()> changed)
    : renderer_(renderer),
      sampleRate_(sampleRate),
      changed_(std::move(changed)),
      left_(static_cast<std::size_t>(PeriodFrames(sampleRate))),
      right_(left_.size()) {
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) throw std::runtime_error("libpulse: cannot create a main loop");
  pa_threaded_mainloop_set_name(loop_, "kelvane-pulse");
  pa_proplist* props = ApplicationProperties();
  context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Kelvane", props);
  pa_proplist_free(props);
  if (!context_) {
    pa_threaded_mainloop_free(loop_);
    throw std::runtime_error("libpulse: cannot create a context");
  }
  pa_context_set_state_callback(context_, OnContextState, this);
  // No autospawn: a desktop without a server plays through ALSA instead.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
    Settle(State::Failed, pa_strerror(pa_context_errno(context_)));
  else
    pa_threaded_mainloop_start(loop_);
}

// Nothing here waits for the server: the stream and the connection are
// dropped from this side, and the loop's thread leaves its poll at once.
PulseOutput::~PulseOutput() {
  pa_threaded_mainloop_lock(loop_);
  if (stream_) {
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
  }
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

PulseOutput::State PulseOutput::CurrentState() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::string PulseOutput::Failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

void PulseOutput::Settle(State state, const std::string& failure) {
  {
    std::lock_guard lock(mutex_);
    if (state_ != State::Connecting) return;
    state_ = state;
    failure_ = failure;
  }
  if (changed_) changed_();
}

void PulseOutput::OnContextState(pa_context* context, void* data) {
  auto& self = *static_cast<PulseOutput*>(data);
  switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: self.OpenStream(); break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: self.Settle(State::Failed, pa_strerror(pa_context_errno(context))); break;
    default: break;
  }
}

// On the loop's thread, once the server has let us in.
void PulseOutput::OpenStream() {
  const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(sampleRate_), 2};
  pa_proplist* props = ApplicationProperties();
  stream_ = pa_stream_new_with_proplist(context_, "Kelvane", &format, nullptr, props);
  pa_proplist_free(props);
  if (!stream_) return Settle(State::Failed, pa_strerror(pa_context_errno(context_)));
  pa_stream_set_state_callback(stream_, OnStreamState, this);
  pa_stream_set_write_callback(stream_, OnWrite, this);
  const auto period = static_cast<std::uint32_t>(left_.size() * kFrameBytes);
  pa_buffer_attr attr;
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = kQueuedPeriods * period;
  attr.prebuf = static_cast<std::uint32_t>(-1);
  attr.minreq = period;
  attr.fragsize = static_cast<std::uint32_t>(-1);
  // No timing updates: nothing here needs the server's clock, and each
  // update would be one more wake-up.
  if (pa_stream_connect_playback(stream_, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
    Settle(State::Failed, pa_strerror(pa_context_errno(context_)));
}

void PulseOutput::OnStreamState(pa_stream* stream, void* data) {
  auto& self = *static_cast<PulseOutput*>(data);
  switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY: self.Settle(State::Ready); break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED: self.Settle(State::Failed, pa_strerror(pa_context_errno(self.context_))); break;
    default: break;
  }
}

void PulseOutput::OnWrite(pa_stream*, size_t bytes, void* data) { static_cast<PulseOutput*>(data)->Write(bytes); }

// Renders what the server asks for, a block at a time, into its own buffer.
void PulseOutput::Write(size_t bytes) {
  while (bytes >= kFrameBytes) {
    void* buffer = nullptr;
    size_t size = std::min(bytes, left_.size() * kFrameBytes);
    if (pa_stream_begin_write(stream_, &buffer, &size) < 0 || buffer == nullptr) return;
    const int frames = static_cast<int>(std::min(size, left_.size() * kFrameBytes) / kFrameBytes);
    if (frames == 0) {
      pa_stream_cancel_write(stream_);
      return;
    }
    RenderStereo(renderer_, frames, left_.data(), right_.data());
    auto* out = static_cast<float*>(buffer);
    for (int i = 0; i < frames; ++i) {
      out[2 * i] = left_[static_cast<std::size_t>(i)];
      out[2 * i + 1] = right_[static_cast<std::size_t>(i)];
    }
    pa_stream_write(stream_, buffer, static_cast<size_t>(frames) * kFrameBytes, nullptr, 0, PA_SEEK_RELATIVE);
    bytes -= static_cast<size_t>(frames) * kFrameBytes;
  }
}

}  // namespace kelvane
