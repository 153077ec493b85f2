#include "assets/artwork/image_surface.h"

namespace kelvane {

ImageSurface::ImageSurface(int width, int height) : image_(width, height, QImage::Format_RGB32) {
  clipBox_ = ClipToBuffer(Buffer(), std::nullopt);
  Repaint();
}

PixelBuffer ImageSurface::Buffer() {
  return {reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
          image_.bytesPerLine() / 4};
}

void ImageSurface::SelectClip(const std::optional<Rect>& clip) { clipBox_ = ClipToBuffer(Buffer(), clip); }

void ImageSurface::Polyline(const Point* points, int count) {
  if (count < 2 || clipBox_.right <= clipBox_.left || clipBox_.bottom <= clipBox_.top) return;
  DrawPolyline(Buffer(), clipBox_, points, count, origin_, penWidth_, pen_);
}

void ImageSurface::FrameRect(const Rect& rect) { FrameRectangle(Buffer(), rect, brush_); }

void ImageSurface::Repaint() { FillBuffer(Buffer(), ToPixel(0)); }

}  // namespace kelvane
