#include "sound/synth_engine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "sound/fluid_log.h"
#include "sound/sample_guard.h"

namespace kelvane {
namespace {

// The beep: a square lead on the last channel, which the templates leave
// free, at A5 for 150 ms.
constexpr int kBeepChannel = 15;
constexpr int kBeepProgram = 80;
constexpr int kBeepKey = 81;
constexpr int kBeepVelocity = 110;
constexpr double kBeepSeconds = 0.15;

// Below this (-80 dB) a reverb tail is no longer heard; after this long
// below it, with no note sounding and nothing playing, the output may stop.
constexpr float kAudibleLevel = 1e-4f;
constexpr double kQuietSeconds = 0.3;

float Peak(int frames, int nout, float** out) {
  float peak = 0;
  for (int c = 0; c < nout; ++c)
    for (int i = 0; i < frames; ++i) peak = std::max(peak, std::fabs(out[c][i]));
  return peak;
}

}  // namespace

SynthEngine::SynthEngine(int sampleRate) : sampleRate_(sampleRate) {
  QuietFluidSynthLog();
  settings_ = new_fluid_settings();
  if (!settings_) throw std::runtime_error("Cannot create the synthesizer's settings");
  fluid_settings_setnum(settings_, "synth.sample-rate", sampleRate);
  // A large SoundFont holds a hundred megabytes of samples; a session uses
  // one instrument and the beep.
  fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
  // The templates set their programs and controllers at their start. A reset
  // at every play would drop the instruments in use, and FluidSynth would
  // read their samples again on the rendering thread.
  fluid_settings_setint(settings_, "player.reset-synth", 0);
  synth_ = new_fluid_synth(settings_);
  if (!synth_) {
    delete_fluid_settings(settings_);
    throw std::runtime_error("Cannot create the synthesizer");
  }
  // FluidSynth 2.3 leaves the reverb's delay lines uninitialised until the
  // first reset: a new synthesizer would mix leftover heap memory into its
  // output, now and then a non-finite value that stays in the feedback.
  fluid_synth_system_reset(synth_);
}

SynthEngine::~SynthEngine() {
  DeletePlayer();
  delete_fluid_synth(synth_);
  delete_fluid_settings(settings_);
}

void SynthEngine::LoadSoundFont(const std::string& path) {
  if (soundFontLoaded_) return;
  // Not under the lock: the synthesizer guards its own font list.
  if (fluid_synth_sfload(synth_, path.c_str(), 1) == FLUID_FAILED)
    throw std::runtime_error("Cannot load the SoundFont " + path);
  // The beep's instrument is read now, not when the session ends.
  fluid_synth_program_change(synth_, kBeepChannel, kBeepProgram);
  soundFontLoaded_ = true;
}

void SynthEngine::Load(std::vector<std::uint8_t> bytes, const std::vector<ProgramChange>& programs) {
  // Outside the lock: reading an instrument's samples takes milliseconds,
  // which the rendering thread must not wait for.
  for (const ProgramChange& p : programs)
    if (p.channel != kBeepChannel) fluid_synth_program_change(synth_, p.channel, p.program);
  std::lock_guard lock(lock_);
  fluid_synth_all_sounds_off(synth_, -1);
  sequence_ = std::move(bytes);
  MakePlayer();
  playing_ = false;
  ++generation_;
}

void SynthEngine::Unload() {
  std::lock_guard lock(lock_);
  fluid_synth_all_sounds_off(synth_, -1);
  DeletePlayer();
  sequence_.clear();
  playing_ = false;
  ++generation_;
}

// FluidSynth cannot rewind reliably (a seek right after a stop is lost), so
// playing again from the start takes a fresh player over the same bytes.
void SynthEngine::Start() {
  std::lock_guard lock(lock_);
  if (!player_) return;
  if (atEnd_) MakePlayer();
  fluid_player_play(player_);
  playing_ = true;
  Wake();
  ++generation_;
}

void SynthEngine::Halt() {
  std::lock_guard lock(lock_);
  if (player_) fluid_player_stop(player_);
  fluid_synth_all_sounds_off(synth_, -1);
  playing_ = false;
  ++generation_;
}

bool SynthEngine::HaltUnlessEnded() {
  std::lock_guard lock(lock_);
  if (atEnd_) return false;
  if (player_) fluid_player_stop(player_);
  fluid_synth_all_sounds_off(synth_, -1);
  playing_ = false;
  ++generation_;
  return true;
}

void SynthEngine::Park() {
  std::lock_guard lock(lock_);
  if (player_) fluid_player_stop(player_);
  playing_ = false;
}

void SynthEngine::Beep() {
  std::lock_guard lock(lock_);
  fluid_synth_program_change(synth_, kBeepChannel, kBeepProgram);
  fluid_synth_noteon(synth_, kBeepChannel, kBeepKey, kBeepVelocity);
  beepFramesLeft_ = static_cast<long>(kBeepSeconds * sampleRate_);
  Wake();
}

bool SynthEngine::IsQuiet() {
  std::lock_guard lock(lock_);
  return quietReported_;
}

// Under the lock: something is about to sound.
void SynthEngine::Wake() {
  quietFrames_ = 0;
  quietReported_ = false;
}

void SynthEngine::Render(int frames, int nfx, float** fx, int nout, float** out) {
  int ended = -1;
  bool nowQuiet = false;
  {
    std::lock_guard lock(lock_);
    fluid_synth_process(synth_, frames, nfx, fx, nout, out);
    if (fx != out)
      for (int c = 0; c < nfx; ++c) GuardSamples(fx[c], frames);
    for (int c = 0; c < nout; ++c) GuardSamples(out[c], frames);
    if (beepFramesLeft_ > 0 && (beepFramesLeft_ -= frames) <= 0) fluid_synth_noteoff(synth_, kBeepChannel, kBeepKey);
    std::swap(ended, pendingEnd_);
    if (ended >= 0) playing_ = false;
    const bool wasQuiet = quietReported_;
    TrackQuiet(frames, nout, out);
    nowQuiet = quietReported_ && !wasQuiet;
  }
  if (ended >= 0 && onEnd_) onEnd_(ended);
  if (nowQuiet && onQuiet_) onQuiet_();
}

// Under the lock, after a block was rendered.
void SynthEngine::TrackQuiet(int frames, int nout, float** out) {
  const bool sounding =
      playing_ || beepFramesLeft_ > 0 || fluid_synth_get_active_voice_count(synth_) > 0 || Peak(frames, nout, out) >= kAudibleLevel;
  if (sounding) {
    Wake();
    return;
  }
  quietFrames_ += frames;
  if (quietFrames_ >= static_cast<long>(kQuietSeconds * sampleRate_)) quietReported_ = true;
}

void SynthEngine::MakePlayer() {
  DeletePlayer();
  player_ = new_fluid_player(synth_);
  if (!player_) throw std::runtime_error("Cannot create the sequence player");
  fluid_player_add_mem(player_, sequence_.data(), sequence_.size());
  fluid_player_set_tick_callback(player_, OnTick, this);
  atEnd_ = false;
}

void SynthEngine::DeletePlayer() {
  if (player_) delete_fluid_player(player_);
  player_ = nullptr;
}

// FluidSynth's own end (status DONE) comes only once every voice has died and
// two more seconds have passed; the last tick of the sequence is the end of
// the play as the listener hears it.
int SynthEngine::OnTick(void* data, int tick) {
  auto& self = *static_cast<SynthEngine*>(data);
  if (tick >= fluid_player_get_total_ticks(self.player_) && self.endedGeneration_ != self.generation_) {
    self.atEnd_ = true;
    self.endedGeneration_ = self.generation_;
    self.pendingEnd_ = self.generation_;
  }
  return FLUID_OK;
}

}  // namespace kelvane
