#pragma once
// The FluidSynth synthesizer with the one sequence it plays, shared between
// the user-interface thread, which loads, starts and halts the sequence, and
// the output's thread, which renders. One lock keeps them apart: FluidSynth
// must not delete a sequence player while the synthesizer renders.

#include <fluidsynth.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "sound/audio_output.h"
#include "sound/midi_check.h"

namespace kelvane {

class SynthEngine : public Renderer {
 public:
  explicit SynthEngine(int sampleRate);
  ~SynthEngine() override;
  SynthEngine(const SynthEngine&) = delete;
  SynthEngine& operator=(const SynthEngine&) = delete;

  fluid_settings_t* Settings() { return settings_; }
  int SampleRate() const { return sampleRate_; }

  // Loads the SoundFont (throws if FluidSynth cannot). Only the samples of
  // the instruments in use are read, now and whenever a sequence selects
  // another. May run on a thread of its own while nothing renders.
  void LoadSoundFont(const std::string& path);
  bool HasSoundFont() const { return soundFontLoaded_; }

  // Replaces the sequence (silencing the old one) with the bytes of a
  // checked MIDI file, positioned at its start, and reads the samples of its
  // instruments now rather than on the rendering thread; Unload leaves none.
  void Load(std::vector<std::uint8_t> bytes, const std::vector<ProgramChange>& programs);
  void Unload();
  // Plays from the position, or from the start when the end was reached.
  void Start();
  // Halts where it is and silences every note.
  void Halt();
  // The same, unless the play has already reached its end: then nothing
  // changes and false is returned, so the end already on its way still counts.
  bool HaltUnlessEnded();
  // After the end of a play: halts the player, letting the notes ring out.
  void Park();

  // Counts every Load, Unload, Start and Halt: an end reported with an older
  // number belongs to a play that was cut short or replaced.
  int Generation() const { return generation_; }
  // Called on the rendering thread, outside the lock, once when a play
  // reaches the last tick of the sequence.
  void SetOnEnd(std::function<void(int generation)> onEnd) { onEnd_ = std::move(onEnd); }

  // True once nothing plays and the output has been silent for a moment:
  // the output may then stop. Called on the rendering thread, outside the
  // lock, once each time that becomes true.
  void SetOnQuiet(std::function<void()> onQuiet) { onQuiet_ = std::move(onQuiet); }
  bool IsQuiet();

  // A short tone on a channel of its own.
  void Beep();

  void Render(int frames, int nfx, float** fx, int nout, float** out) override;

 private:
  void MakePlayer();
  void DeletePlayer();
  void Wake();
  void TrackQuiet(int frames, int nout, float** out);
  static int OnTick(void* data, int tick);

  int sampleRate_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  std::atomic<bool> soundFontLoaded_{false};

  std::mutex lock_;
  // Guarded by lock_:
  fluid_player_t* player_ = nullptr;
  std::vector<std::uint8_t> sequence_;
  bool playing_ = false;
  bool atEnd_ = false;
  int endedGeneration_ = -1;
  int pendingEnd_ = -1;
  long beepFramesLeft_ = 0;
  long quietFrames_ = 0;
  bool quietReported_ = false;

  std::atomic<int> generation_{0};
  std::function<void(int)> onEnd_;
  std::function<void()> onQuiet_;
};

}  // namespace kelvane
