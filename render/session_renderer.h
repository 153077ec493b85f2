#pragma once
// Plays a session in simulated time with the program's own procedures and
// state, as the main window would: the first activation, Open with its file
// already chosen, the tunnel timer, the pulse timer, the player's ends of
// play and MediaPlayer1Notify, cycle by cycle to the end beep. The sound is
// FluidSynth's on the manual clock; the pictures are the window's image,
// drawn by the program's rasteriser, taken at the display's frame rate.
//
// It patches its own copy of the templates in a temporary data directory
// (on the thread that uses it), removed as soon as the session is open, and
// writes nothing else.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/frame.h"
#include "state/session_state.h"
#include "toolkit/table.h"
#include "toolkit/geometry.h"

namespace kelvane {

// The pulse as it stands when the session is opened. A window's Timer3 runs
// from its creation, so at an Open the pulse is wherever the program's start
// or an earlier session left it. The default is the program's start.
struct PulseStart {
  std::int32_t counter = 1;   // pulseCounter
  bool rising = true;         // pulseRising
  std::int32_t divisor = 180; // pulseDivisor: the counter once the pulse has ticked
  double firstTick = 0.050;   // seconds from the Open to the pulse's next tick
};

struct RenderOptions {
  double tickRate = 1000;  // tunnel ticks a second: the 1 ms timer, or what a real window managed
  PulseStart pulse;
  int fps = 60;            // pictures a second, the display's rate
  std::optional<int> cycles;      // at most this many plays
  std::optional<double> seconds;  // at most this long
  bool pictures = true;           // false: sound alone, the tunnel is not drawn
  std::string soundFont;          // empty: the program's own lookup
  // Longer sessions (a file may ask for two billion cycles) are refused
  // unless `seconds` or `cycles` shortens them.
  double longest = 4 * 3600;
};

// What a render hands on, in time order: sound in blocks of 44.1 kHz stereo,
// and pictures of the stimulus area with its frame.
class RenderSink {
 public:
  virtual ~RenderSink() = default;
  virtual void Sound(const float* left, const float* right, int frames) = 0;
  virtual void Picture(const Frame& frame) = 0;
};

// What the window shows right after the Open, for making its pictures in
// other ways (render/tunnel_pictures.h).
struct OpenedSession {
  SessionState state;
  std::vector<std::uint32_t> picture;  // the crop of the window, row after row
  Rect crop;                           // in window pixels
  double tunnelSeconds = 0;            // how long the tunnel runs, within the render's length
  double seconds = 0;                  // the render's length
};

class HeadlessSession {
 public:
  static constexpr int kSampleRate = 44100;
  // After the last play: the end beep and its release.
  static constexpr double kEndBeepSeconds = 1.0;

  // Loads the session as Open does once the file is chosen. Throws
  // std::runtime_error when it will not play: an unreadable table, a note
  // pair that is no number, a FileType other than "Ambr".
  HeadlessSession(const std::string& sessionPath, const RenderOptions& options);
  // The same from any table, such as a session being edited; sessionPath is
  // what the file dialog would have answered.
  HeadlessSession(std::unique_ptr<Table> table, const std::string& sessionPath, const RenderOptions& options);
  ~HeadlessSession();
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  // The render's length: every play asked for, each a little over rows x
  // 4 s (FluidSynth ends a play at one of its 64-frame steps), and when the
  // last is the session's, the end beep's second, unless --seconds cuts it
  // short. Foreseen before Run; after it, what the session really did.
  double Seconds() const { return seconds_; }
  std::int64_t SoundFrames() const { return frames_; }
  int PictureCount() const;
  // The pictures' size: the stimulus area with its three-pixel frame, as far
  // as it lies inside the window.
  int Width() const { return crop_.right - crop_.left; }
  int Height() const { return crop_.bottom - crop_.top; }
  // Before Run: what the Open left in the window.
  OpenedSession Opened() const;
  // What the program would have shown in message boxes while loading.
  const std::vector<std::string>& Messages() const;

  // Plays the whole length into the sink; progress gets the share done.
  void Run(RenderSink& sink, const std::function<void(double)>& progress = {});

 private:
  struct Parts;
  void Load(const std::string& sessionPath);
  void PlanLength();
  void SetLength(std::int64_t frames);
  void AdvanceSound(std::int64_t until, RenderSink& sink);
  void FollowTheEnd(bool beeped);
  void TakePicture(RenderSink& sink);

  RenderOptions options_;
  std::unique_ptr<Parts> parts_;
  Rect crop_;
  std::int64_t plays_ = 0;       // plays asked for
  std::int64_t playFrames_ = 0;  // from one play's start to the next's
  std::int64_t frames_ = 0;      // the length
  std::int64_t tunnelFrames_ = 0;
  double seconds_ = 0;
  double tunnelSeconds_ = 0;
  bool ended_ = false;      // the session's end, or the last play's asked for, was reached
  std::int64_t clock_ = 0;  // samples played so far
};

}  // namespace kelvane
