#pragma once
// The pixels of a tick's polylines, by their place in the tick. While the
// divisors stand still (50 ticks and more) every tick draws the same outlines
// in new colours, so their pixels are worked out once and replayed.

#include <cstddef>
#include <vector>

#include "visual/raster.h"

namespace kelvane {

class PolylineCache {
 public:
  // A tick begins: the next polyline is the first of its tick.
  void BeginTick() { next_ = 0; }
  // Recorded runs belong to one buffer size; after a resize they are void.
  void Clear() { slots_.clear(); }

  // DrawPolyline, replaying what the polyline at the same place in the last
  // tick drew when it had the same points, origin, width and clip.
  void Draw(const PixelBuffer& buffer, const Rect& clip, const Point* points, int count, Point origin, int width,
            std::uint32_t pixel);

 private:
  struct Slot {
    std::vector<Point> points;
    Point origin;
    int width = 0;
    Rect clip;
    std::vector<PixelRun> runs;
  };
  std::vector<Slot> slots_;
  std::size_t next_ = 0;
};

}  // namespace kelvane
