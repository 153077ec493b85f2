#include "visual/stimulus_area.h"

#include <algorithm>
#include <limits>

namespace kelvane {
namespace {

// Area coordinates come from the file unchecked; x1 - 2 must not overflow.
std::int32_t Saturate(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t Midpoint(std::int32_t a, std::int32_t b) {
  // x1 + (x2 - x1) / 2 with the difference halved toward zero (15 and 10 give 13),
  // in 64 bits so that far-apart corners do not overflow.
  return static_cast<std::int32_t>(a + (static_cast<std::int64_t>(b) - a) / 2);
}

Color LowBytes(std::int32_t r, std::int32_t g, std::int32_t b) {
  return (static_cast<Color>(r) & 0xFF) | ((static_cast<Color>(g) & 0xFF) << 8) |
         ((static_cast<Color>(b) & 0xFF) << 16);
}

}  // namespace

void SetUpStimulusArea(SessionState& s, Surface& surface) {
  s.areaTopLeft = {s.areaX1, s.areaY1};
  s.areaBottomRight = {s.areaX2, s.areaY2};
  s.areaCentre = {Midpoint(s.areaX1, s.areaX2), Midpoint(s.areaY1, s.areaY2)};
  surface.SetBrushColor(LowBytes(s.colorR, s.colorG, s.colorB));
  DrawAreaFrame(s, surface);
  // Kept as given; the surface normalises a reversed rectangle when it clips.
  s.clipRegion = Rect{s.areaX1, s.areaY1, s.areaX2, s.areaY2};
}

void DrawAreaFrame(SessionState& s, Surface& surface) {
  const Point tl = s.areaTopLeft, br = s.areaBottomRight;
  for (int grow = 0; grow < 3; ++grow) {
    s.frameRect = {Saturate(std::int64_t{tl.x} - grow), Saturate(std::int64_t{tl.y} - grow),
                   Saturate(std::int64_t{br.x} + grow), Saturate(std::int64_t{br.y} + grow)};
    surface.FrameRect(s.frameRect);
  }
}

}  // namespace kelvane
