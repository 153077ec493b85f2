#include "sound/synth_engine.h"

#include <stdexcept>

#include "sound/fluid_log.h"

namespace kelvane {
namespace {

// The beep: a square lead on the last channel, which the templates leave
// free, at A5 for 150 ms.
constexpr int kBeepChannel = 15;
constexpr int kBeepProgram = 80;
constexpr int kBeepKey = 81;
constexpr int kBeepVelocity = 110;
constexpr double kBeepSeconds = 0.15;

}  // namespace

SynthEngine::SynthEngine(int sampleRate) : sampleRate_(sampleRate) {
  QuietFluidSynthLog();
  settings_ = new_fluid_settings();
  if (!settings_) throw std::runtime_error("Cannot create the synthesizer's settings");
  fluid_settings_setnum(settings_, "synth.sample-rate", sampleRate);
  synth_ = new_fluid_synth(settings_);
  if (!synth_) {
    delete_fluid_settings(settings_);
    throw std::runtime_error("Cannot create the synthesizer");
  }
}

SynthEngine::~SynthEngine() {
  DeletePlayer();
  delete_fluid_synth(synth_);
  delete_fluid_settings(settings_);
}

void SynthEngine::LoadSoundFont(const std::string& path) {
  if (soundFontLoaded_) return;
  // Not under the lock: a large font takes a while and the synthesizer
  // guards its own font list.
  if (fluid_synth_sfload(synth_, path.c_str(), 1) == FLUID_FAILED)
    throw std::runtime_error("Cannot load the SoundFont " + path);
  soundFontLoaded_ = true;
}

void SynthEngine::Load(std::vector<std::uint8_t> bytes) {
  std::lock_guard lock(lock_);
  fluid_synth_all_sounds_off(synth_, -1);
  sequence_ = std::move(bytes);
  MakePlayer();
  ++generation_;
}

void SynthEngine::Unload() {
  std::lock_guard lock(lock_);
  fluid_synth_all_sounds_off(synth_, -1);
  DeletePlayer();
  sequence_.clear();
  ++generation_;
}

// FluidSynth cannot rewind reliably (a seek right after a stop is lost), so
// playing again from the start takes a fresh player over the same bytes.
void SynthEngine::Start() {
  std::lock_guard lock(lock_);
  if (!player_) return;
  if (atEnd_) MakePlayer();
  fluid_player_play(player_);
  ++generation_;
}

void SynthEngine::Halt() {
  std::lock_guard lock(lock_);
  if (player_) fluid_player_stop(player_);
  fluid_synth_all_sounds_off(synth_, -1);
  ++generation_;
}

bool SynthEngine::HaltUnlessEnded() {
  std::lock_guard lock(lock_);
  if (atEnd_) return false;
  if (player_) fluid_player_stop(player_);
  fluid_synth_all_sounds_off(synth_, -1);
  ++generation_;
  return true;
}

void SynthEngine::Park() {
  std::lock_guard lock(lock_);
  if (player_) fluid_player_stop(player_);
}

void SynthEngine::Beep() {
  std::lock_guard lock(lock_);
  fluid_synth_program_change(synth_, kBeepChannel, kBeepProgram);
  fluid_synth_noteon(synth_, kBeepChannel, kBeepKey, kBeepVelocity);
  beepFramesLeft_ = static_cast<long>(kBeepSeconds * sampleRate_);
}

void SynthEngine::Render(int frames, int nfx, float** fx, int nout, float** out) {
  int ended = -1;
  {
    std::lock_guard lock(lock_);
    fluid_synth_process(synth_, frames, nfx, fx, nout, out);
    if (beepFramesLeft_ > 0 && (beepFramesLeft_ -= frames) <= 0) fluid_synth_noteoff(synth_, kBeepChannel, kBeepKey);
    std::swap(ended, pendingEnd_);
  }
  if (ended >= 0 && onEnd_) onEnd_(ended);
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
