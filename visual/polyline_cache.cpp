#include "visual/polyline_cache.h"

#include <algorithm>

namespace kelvane {
namespace {

// A tick draws 390 polylines; a few spare places cost nothing.
constexpr std::size_t kSlots = 512;

}  // namespace

void PolylineCache::Draw(const PixelBuffer& buffer, const Rect& clip, const Point* points, int count, Point origin,
                         int width, std::uint32_t pixel) {
  // Offsets of recorded runs are 32-bit.
  const bool cacheable = static_cast<double>(buffer.stride) * buffer.height < 2147483647.0;
  if (!cacheable || next_ >= kSlots) {
    DrawPolyline(buffer, clip, points, count, origin, width, pixel);
    return;
  }
  if (slots_.size() <= next_) slots_.resize(next_ + 1);
  Slot& slot = slots_[next_++];
  const int drawn = EffectivePenWidth(width);
  if (slot.origin == origin && slot.width == drawn && slot.clip == clip &&
      std::equal(points, points + count, slot.points.begin(), slot.points.end())) {
    ReplayRuns(buffer, slot.runs, pixel);
    return;
  }
  slot.points.assign(points, points + count);
  slot.origin = origin;
  slot.width = drawn;
  slot.clip = clip;
  slot.runs.clear();
  DrawPolyline(buffer, clip, points, count, origin, drawn, pixel, &slot.runs);
}

}  // namespace kelvane
