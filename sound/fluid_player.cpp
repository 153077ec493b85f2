#include "sound/fluid_player.h"

#include <cstdio>
#include <stdexcept>

#include "sound/desktop_output.h"
#include "sound/manual_clock.h"
#include "sound/midi_check.h"
#include "sound/silent_clock.h"
#include "sound/soundfont.h"
#include "sound/synth_engine.h"

namespace kelvane {

namespace {

// The silent clock divides by the rate and the beep counts frames with it.
int CheckedSampleRate(int rate) {
  if (rate < 8000 || rate > 96000) throw std::invalid_argument("Unsupported sample rate " + std::to_string(rate));
  return rate;
}

}  // namespace

FluidPlayer::FluidPlayer(FluidPlayerOptions options)
    : options_(std::move(options)),
      engine_(std::make_unique<SynthEngine>(CheckedSampleRate(options_.sampleRate))),
      self_(std::make_shared<FluidPlayer*>(this)) {
  if (!options_.post) throw std::invalid_argument("FluidPlayer needs a way to post calls to its thread");
  std::weak_ptr<FluidPlayer*> weak = self_;
  auto post = options_.post;
  engine_->SetOnEnd([weak, post](int generation) {
    post([weak, generation] {
      if (auto self = weak.lock()) (*self)->EndOfPlay(generation);
    });
  });
  engine_->SetOnQuiet([weak, post] {
    post([weak] {
      if (auto self = weak.lock()) (*self)->StopOutputIfQuiet();
    });
  });
  if (options_.output == AudioOutput::ManualClock) {
    manualClock_ = std::make_unique<ManualClock>(*engine_);
    outputName_ = manualClock_->Name();
  }
  SynthEngine& engine = *engine_;
  const std::string font = options_.soundFont;
  soundFontLoading_ =
      std::async(std::launch::async, [&engine, font] { engine.LoadSoundFont(font.empty() ? FindSoundFont() : font); });
}

FluidPlayer::~FluidPlayer() {
  output_.reset();  // no more rendering before the synthesizer goes
  if (soundFontLoading_.valid()) soundFontLoading_.wait();
}

// A font that failed to load at start-up is tried again, so one installed
// since then is found; the error names what is missing.
void FluidPlayer::WaitForSoundFont() {
  if (soundFontLoading_.valid()) {
    try {
      soundFontLoading_.get();
    } catch (const std::exception&) {
    }
  }
  if (!engine_->HasSoundFont())
    engine_->LoadSoundFont(options_.soundFont.empty() ? FindSoundFont() : options_.soundFont);
}

// The output runs only while something sounds, so an idle program costs
// nothing; it is opened again for the next play or beep. A sound device is
// opened off this thread, and what was found is told here later.
void FluidPlayer::StartOutput() {
  if (manualClock_) {
    manualRunning_ = true;
    return;
  }
  if (output_) return;
  if (options_.output == AudioOutput::Device && !deviceFailed_) {
    std::weak_ptr<FluidPlayer*> weak = self_;
    auto post = options_.post;
    output_ = std::make_unique<DesktopOutput>(
        engine_->Settings(), *engine_, options_.sampleRate,
        [weak, post](const std::string& name, const std::string& failures) {
          post([weak, name, failures] {
            if (auto self = weak.lock()) (*self)->OutputOpened(name, failures);
          });
        });
    return;
  }
  output_ = std::make_unique<SilentClock>(*engine_, options_.sampleRate);
  outputName_ = output_->Name();
}

// Said once: a desktop without sound runs on the silent clock from then on.
void FluidPlayer::OutputOpened(const std::string& name, const std::string& failures) {
  if (!failures.empty() && !deviceFailed_) {
    std::fprintf(stderr, "kelvane: no sound device could be opened (%s); playing on a silent clock\n", failures.c_str());
    deviceFailure_ = failures;
    deviceFailed_ = true;
  }
  if (name == outputName_) return;
  outputName_ = name;
  std::fprintf(stderr, "kelvane: sound output: %s\n", outputName_.c_str());
}

void FluidPlayer::StopOutputIfQuiet() {
  if (!engine_->IsQuiet()) return;
  output_.reset();
  manualRunning_ = false;
}

bool FluidPlayer::OutputRunning() const { return manualClock_ ? manualRunning_ : output_ != nullptr; }

// Like the sequencer it stands in for, Open closes the old file first, so a
// failed Open leaves no file open.
void FluidPlayer::Open() {
  if (open_) engine_->Unload();
  open_ = false;
  mode_ = PlayerMode::NotReady;
  SequenceBytes file = ReadSequenceFile(fileName_);
  WaitForSoundFont();
  engine_->Load(std::move(file.bytes), file.programs);
  open_ = true;
  mode_ = PlayerMode::Open;
}

void FluidPlayer::Play() {
  RequireOpen();
  if (mode_ == PlayerMode::Playing) return;
  reportEnd_ = mode_ == PlayerMode::Stopped;
  StartOutput();
  engine_->Start();
  mode_ = PlayerMode::Playing;
}

void FluidPlayer::Pause() {
  RequireOpen();
  if (mode_ != PlayerMode::Playing) return;
  // A play that has just reached its end is stopped there, as far as the
  // listener can tell; its end, already posted, must still count as a cycle.
  if (!engine_->HaltUnlessEnded()) return;
  mode_ = PlayerMode::Paused;
}

void FluidPlayer::Stop() {
  RequireOpen();
  if (mode_ == PlayerMode::Stopped) return;
  engine_->Halt();
  mode_ = PlayerMode::Stopped;
}

void FluidPlayer::RequireOpen() const {
  if (!open_) throw std::runtime_error("No sequence file is open");
}

// Only the end of the play in progress counts: one cut short by Pause, Stop
// or another Open carries an older generation.
void FluidPlayer::EndOfPlay(int generation) {
  if (generation != engine_->Generation() || mode_ != PlayerMode::Playing) return;
  engine_->Park();
  mode_ = PlayerMode::Stopped;
  if (!notify_ && !reportEnd_) return;
  notify_ = false;
  reportEnd_ = false;
  if (onNotify_) onNotify_();
}

void FluidPlayer::Beep() {
  try {
    WaitForSoundFont();
  } catch (const std::exception&) {
    return;  // the system bell still sounds; the missing font shows at the next Open
  }
  StartOutput();
  engine_->Beep();
}

void FluidPlayer::Advance(int frames, std::vector<float>* left, std::vector<float>* right) {
  if (!manualClock_) throw std::logic_error("Advance needs the manual clock");
  manualClock_->Advance(frames, left, right);
}

std::string FluidPlayer::OutputName() const { return outputName_; }

}  // namespace kelvane
