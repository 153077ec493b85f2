#pragma once
// MediaPlayer1 on Linux: plays the session's sequence file with FluidSynth
// and a General MIDI SoundFont, on a sound device, on a silent real-time
// clock when there is none, or on a clock that tests advance by hand.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/toolkit/media_player.h"
#include "sound/audio_output.h"

namespace kelvane {

class SynthEngine;
class ManualClock;

struct FluidPlayerOptions {
  AudioOutput output = AudioOutput::Device;
  std::string soundFont;  // empty: the first of DefaultSoundFonts() that exists
  int sampleRate = 44100;
  // Runs a call later on the user-interface thread; the end of a play is
  // found on the output's thread and reaches OnNotify through it. It must
  // not run the call before it returns.
  std::function<void(std::function<void()>)> post;
};

class FluidPlayer : public MediaPlayer {
 public:
  // Opens the output (and says on standard error which one, unless it is the
  // manual clock); the SoundFont is loaded when it is first needed.
  explicit FluidPlayer(FluidPlayerOptions options);
  ~FluidPlayer() override;
  FluidPlayer(const FluidPlayer&) = delete;
  FluidPlayer& operator=(const FluidPlayer&) = delete;

  void SetFileName(const std::string& path) override { fileName_ = path; }
  std::string FileName() const override { return fileName_; }
  void Open() override;
  void Play() override;
  void Pause() override;
  void Stop() override;
  void SetNotify(bool notify) override { notify_ = notify; }
  bool Notify() const override { return notify_; }
  PlayerMode Mode() const override { return mode_; }
  void SetOnNotify(std::function<void()> handler) override { onNotify_ = std::move(handler); }

  // A short tone through the player's output, since many desktops mute the
  // system bell. Quietly does nothing when no SoundFont can be loaded.
  void Beep();
  // Manual clock only: renders this many frames now, appending the stereo
  // samples when asked to.
  void Advance(int frames, std::vector<float>* left = nullptr, std::vector<float>* right = nullptr);
  std::string OutputName() const;

 private:
  void OpenOutput();
  void LoadSoundFont();
  void RequireOpen() const;
  void EndOfPlay(int generation);

  FluidPlayerOptions options_;
  std::unique_ptr<SynthEngine> engine_;
  std::unique_ptr<Output> output_;  // after engine_: it renders into it
  ManualClock* manualClock_ = nullptr;
  std::string fileName_;
  bool open_ = false;
  bool notify_ = false;
  PlayerMode mode_ = PlayerMode::NotReady;
  std::function<void()> onNotify_;
  // Posted ends hold it weakly, so an end that arrives after the player is
  // gone does nothing.
  std::shared_ptr<FluidPlayer*> self_;
};

}  // namespace kelvane
