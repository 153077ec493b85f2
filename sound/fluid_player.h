#pragma once
// MediaPlayer1 on Linux: plays the session's sequence file with FluidSynth
// and a General MIDI SoundFont, on a sound device, on a silent real-time
// clock when there is none, or on a clock that tests advance by hand.

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "sound/audio_output.h"
#include "toolkit/media_player.h"

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
  // Starts loading the SoundFont on a thread of its own, so that a window
  // can show at once; Open waits for it only if it has not finished. The
  // output opens when something is to sound and stops when all is quiet.
  explicit FluidPlayer(FluidPlayerOptions options);
  ~FluidPlayer() override;
  FluidPlayer(const FluidPlayer&) = delete;
  FluidPlayer& operator=(const FluidPlayer&) = delete;

  void SetFileName(const std::string& path) override { fileName_ = path; }
  std::string FileName() const override { return fileName_; }
  void Open() override;
  // A play started from the Stopped mode (after the end of a play, or after
  // Stop) reports its end even when Notify is false: the program pauses and
  // resumes a session that has ended, and its tunnel must stop with the sound.
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
  // samples when asked to. The manual clock renders whenever it is advanced;
  // OutputRunning says whether a device would be open.
  void Advance(int frames, std::vector<float>* left = nullptr, std::vector<float>* right = nullptr);
  // The output in use ("PulseAudio", "ALSA", "silent clock", "manual clock"),
  // or "none" before anything has sounded. A sound device is opened off the
  // user-interface thread: its name is known once the post that tells it
  // has run.
  std::string OutputName() const;
  // Why no sound device could be opened, once that has happened and the
  // silent clock stands in; empty until then.
  const std::string& DeviceFailure() const { return deviceFailure_; }
  bool OutputRunning() const;

 private:
  void WaitForSoundFont();
  void StartOutput();
  void OutputOpened(const std::string& name, const std::string& failures);
  void StopOutputIfQuiet();
  void RequireOpen() const;
  void EndOfPlay(int generation);

  FluidPlayerOptions options_;
  std::unique_ptr<SynthEngine> engine_;
  std::future<void> soundFontLoading_;
  std::unique_ptr<Output> output_;  // after engine_: it renders into it
  std::unique_ptr<ManualClock> manualClock_;
  bool manualRunning_ = false;
  bool deviceFailed_ = false;  // told once; the silent clock stands in from then on
  std::string deviceFailure_;
  std::string outputName_ = "none";
  std::string fileName_;
  bool open_ = false;
  bool notify_ = false;
  bool reportEnd_ = false;
  PlayerMode mode_ = PlayerMode::NotReady;
  std::function<void()> onNotify_;
  // Posted calls hold it weakly, so one that arrives after the player is
  // gone does nothing.
  std::shared_ptr<FluidPlayer*> self_;
};

}  // namespace kelvane
