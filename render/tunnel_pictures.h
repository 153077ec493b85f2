#pragma once
// The pictures of an opened session at one tick rate and one pulse phase,
// made without drawing every tick, so that the flash check can play many
// ways of showing one session.
//
// Nothing is erased between ticks, and every tick draws the 390 squares of
// the same outline for as long as the pulse's divisor stays put. So a pixel
// shows the colour of the last square over it at the last tick of the last
// pulse step whose outline covers it. Which square that is comes from the
// step's outline map: the real tunnel drawn once per divisor, in colours
// that name the squares. Its colour comes from the ring, whose colours
// depend on the tick count alone. Tests hold the pictures to the renderer's.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "render/frame.h"
#include "render/session_renderer.h"
#include "visual/session_timers.h"

namespace kelvane {

class BufferSurface;

// One way a window may show a session.
struct ShowingWay {
  double tickRate = 1000;
  PulseStart pulse;
};

class TunnelPictures {
 public:
  TunnelPictures(const OpenedSession& opened, const ShowingWay& way, int fps);
  ~TunnelPictures();

  int Width() const { return opened_.crop.right - opened_.crop.left; }
  int Height() const { return opened_.crop.bottom - opened_.crop.top; }
  // Pictures in the session's length at fps.
  int Count() const { return count_; }
  // The next picture, valid until the next call; false after the last.
  bool Next(Frame& picture);

 private:
  // The squares' outlines at one divisor: (pixel of the picture, square).
  struct Outline {
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint16_t> squares;
  };
  const Outline& OutlineOf(std::int32_t divisor);
  std::uint32_t SquarePixel(int square, std::int64_t tick);
  void GrowStream(std::int64_t tick);
  void Paint(const Outline& outline, std::int64_t tick);

  const OpenedSession& opened_;
  int fps_;
  int count_;
  int next_ = 0;
  SessionState pulse_;    // runs Timer3Timer
  SessionState colours_;  // runs the ring's colour choice
  SessionTimers timers_;
  double tunnelEnd_;  // samples
  std::vector<std::uint32_t> picture_;
  // Pixel values of the colours entering ring slot 0: entry i is tick
  // i - kStreamBefore; ticks up to 0 are the ring's colours at the Open.
  std::vector<std::uint32_t> stream_;
  std::uint32_t lastSlotPixel_;  // ring slot 389, the first note's colour
  std::unordered_map<std::int32_t, std::unique_ptr<Outline>> outlines_;
  std::unique_ptr<BufferSurface> scratch_;  // the window the outlines are drawn in
  const Outline* outline_ = nullptr;
  std::int64_t ticks_ = 0;          // tunnel ticks so far
  std::int64_t paintedTick_ = -1;   // the tick the current outline was last painted at
  std::int64_t firstTickHere_ = 0;  // the first tick drawn with the current outline
};

}  // namespace kelvane
