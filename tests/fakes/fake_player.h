#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "tests/fakes/recorder.h"
#include "toolkit/media_player.h"

namespace kelvane::testing {

// A player that behaves as the real one does towards the program: it keeps
// its mode, refuses transport without an open file, and reports the end of a
// play only when the test says the play finished (Finish).
class FakePlayer : public MediaPlayer {
 public:
  explicit FakePlayer(Recorder& log) : log_(log) {}

  void SetFileName(const std::string& path) override { fileName_ = path; }
  std::string FileName() const override { return fileName_; }
  void Open() override {
    log_.Add("Open " + fileName_);
    if (failOpen) throw std::runtime_error("Cannot open sequence file " + fileName_);
    open_ = true;
    mode_ = PlayerMode::Open;
  }
  // A play started from Stopped reports its end even with Notify false.
  void Play() override {
    const bool fromStopped = mode_ == PlayerMode::Stopped;
    Transport("Play", PlayerMode::Playing);
    reportEnd_ = fromStopped;
  }
  void Pause() override {
    if (mode_ == PlayerMode::Playing || !open_) Transport("Pause", PlayerMode::Paused);
    else log_.Add("Pause");
  }
  void Stop() override { Transport("Stop", PlayerMode::Stopped); }
  void SetNotify(bool n) override {
    notify_ = n;
    log_.Add(n ? "Notify true" : "Notify false");
  }
  bool Notify() const override { return notify_; }
  PlayerMode Mode() const override { return mode_; }
  void SetOnNotify(std::function<void()> h) override { onNotify_ = std::move(h); }

  // The play in progress reaches the end of the file: the mode becomes
  // Stopped and, if Notify was set, the handler runs.
  void Finish() {
    mode_ = PlayerMode::Stopped;
    if ((notify_ || reportEnd_) && onNotify_) {
      notify_ = false;
      reportEnd_ = false;
      onNotify_();
    }
  }
  void ForceMode(PlayerMode m) { mode_ = m; }

  bool failOpen = false;

 private:
  void Transport(const char* name, PlayerMode next) {
    log_.Add(name);
    if (!open_) throw std::runtime_error("No sequence file is open");
    mode_ = next;
  }

  Recorder& log_;
  std::string fileName_;
  bool open_ = false;
  bool notify_ = false;
  bool reportEnd_ = false;
  PlayerMode mode_ = PlayerMode::NotReady;
  std::function<void()> onNotify_;
};

}  // namespace kelvane::testing
