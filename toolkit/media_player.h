#pragma once
// The hidden media player that plays the session's sequence file.

#include <functional>
#include <string>

namespace kelvane {

// The player's modes, numbered as modeNames lists them.
enum class PlayerMode { NotReady = 0, Stopped = 1, Playing = 2, Recording = 3, Seeking = 4, Paused = 5, Open = 6 };

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;

  virtual void SetFileName(const std::string& path) = 0;
  virtual std::string FileName() const = 0;
  // Closes any open file and opens FileName at its start; throws if it cannot.
  virtual void Open() = 0;
  // Play, Pause and Stop throw when no file is open.
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  // When true, the end of a play that finishes by itself is reported once
  // through the OnNotify callback, on the user-interface thread, later.
  virtual void SetNotify(bool notify) = 0;
  virtual bool Notify() const = 0;
  virtual PlayerMode Mode() const = 0;
  virtual void SetOnNotify(std::function<void()> handler) = 0;
};

}  // namespace kelvane
