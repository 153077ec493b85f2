#include "visual/buffer_surface.h"

#include <algorithm>

namespace kelvane {

BufferSurface::BufferSurface(int width, int height)
    : width_(std::max(1, width)),
      height_(std::max(1, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), ToPixel(0)) {
  clipBox_ = ClipToBuffer(Buffer(), std::nullopt);
}

PixelBuffer BufferSurface::Buffer() { return {pixels_.data(), width_, height_, width_}; }

void BufferSurface::SelectClip(const std::optional<Rect>& clip) {
  clip_ = clip;
  clipBox_ = ClipToBuffer(Buffer(), clip);
}

void BufferSurface::Resize(int width, int height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), ToPixel(0));
  clipBox_ = ClipToBuffer(Buffer(), clip_);
  cache_.Clear();
  Repaint();
}

void BufferSurface::Polyline(const Point* points, int count) {
  if (count < 2 || clipBox_.right <= clipBox_.left || clipBox_.bottom <= clipBox_.top) return;
  cache_.Draw(Buffer(), clipBox_, points, count, origin_, penWidth_, pen_);
}

void BufferSurface::FrameRect(const Rect& rect) { FrameRectangle(Buffer(), rect, brush_); }

void BufferSurface::Repaint() {
  FillBuffer(Buffer(), ToPixel(0));
  if (onPaint) onPaint();
}

}  // namespace kelvane
