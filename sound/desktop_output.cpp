#include "sound/desktop_output.h"

#include "sound/alsa_output.h"
#include "sound/pulse_output.h"
#include "sound/silent_clock.h"

namespace kelvane {

DesktopOutput::DesktopOutput(fluid_settings_t* settings, Renderer& renderer, int sampleRate, Opened opened)
    : settings_(settings), renderer_(renderer), sampleRate_(sampleRate), opened_(std::move(opened)) {
  thread_ = std::thread([this] { Open(); });
}

DesktopOutput::~DesktopOutput() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

std::string DesktopOutput::Name() const {
  std::lock_guard lock(mutex_);
  return output_ ? output_->Name() : "opening";
}

void DesktopOutput::Open() {
  std::string failures;
  bool answered = true;
  std::unique_ptr<Output> output = OpenServer(failures, answered);
  // ALSA's default device is often the same server behind a plugin: one
  // that hangs would hang it as well.
  if (!output && answered && !Closing()) output = OpenAlsaOutput(settings_, renderer_, failures);
  if (!output && !Closing()) output = std::make_unique<SilentClock>(renderer_, sampleRate_);
  if (!output) return;
  const std::string name = output->Name();
  {
    std::lock_guard lock(mutex_);
    if (closing_) return;  // an output found too late goes as this returns
    output_ = std::move(output);
  }
  if (opened_) opened_(name, name == SilentClock::kName ? failures : std::string());
}

bool DesktopOutput::Closing() const {
  std::lock_guard lock(mutex_);
  return closing_;
}

std::unique_ptr<Output> DesktopOutput::OpenServer(std::string& failures, bool& answered) {
  std::unique_ptr<PulseOutput> server;
  try {
    server = std::make_unique<PulseOutput>(renderer_, sampleRate_, [this] {
      std::lock_guard lock(mutex_);
      wake_.notify_all();
    });
  } catch (const std::exception& error) {
    failures = std::string("PulseAudio: ") + error.what();
    return nullptr;
  }
  const auto settled = [&] { return server->CurrentState() != PulseOutput::State::Connecting; };
  if (!WaitUntil(std::chrono::steady_clock::now() + kServerPatience, settled)) return nullptr;
  switch (server->CurrentState()) {
    case PulseOutput::State::Ready: return server;
    case PulseOutput::State::Failed: failures = "PulseAudio: " + server->Failure(); break;
    case PulseOutput::State::Connecting:
      answered = false;
      failures = "PulseAudio: the server did not answer within " + std::to_string(kServerPatience.count()) + " s";
      break;
  }
  return nullptr;
}

bool DesktopOutput::WaitUntil(std::chrono::steady_clock::time_point deadline, const std::function<bool()>& done) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, deadline, [&] { return closing_ || done(); });
  return !closing_;
}

}  // namespace kelvane
