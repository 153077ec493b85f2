#include "editor/preview_layout.h"

#include <algorithm>
#include <cstdint>

namespace kelvane {

PreviewLayout LayOutPreview(const DrawingArea& window, const Rect& area, int boxWidth, int boxHeight) {
  PreviewLayout out;
  const int w = std::max(1, window.width), h = std::max(1, window.height);
  out.scale = std::min({1.0, static_cast<double>(std::max(0, boxWidth)) / w, static_cast<double>(std::max(0, boxHeight)) / h});
  out.left = (boxWidth - w * out.scale) / 2;
  out.top = (boxHeight - h * out.scale) / 2;
  const Rect a = Normalized(area);
  const auto cut = [](std::int64_t v, std::int32_t lo, std::int32_t hi) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, lo, std::max(lo, hi)));
  };
  const Rect& shown = window.shown;
  out.drawn = {cut(std::int64_t{a.left} - kAreaFrameWidth, shown.left, shown.right),
               cut(std::int64_t{a.top} - kAreaFrameWidth, shown.top, shown.bottom),
               cut(std::int64_t{a.right} + kAreaFrameWidth, shown.left, shown.right),
               cut(std::int64_t{a.bottom} + kAreaFrameWidth, shown.top, shown.bottom)};
  if (out.drawn.right <= out.drawn.left || out.drawn.bottom <= out.drawn.top) out.drawn = {};
  return out;
}

}  // namespace kelvane
