#pragma once
// A Surface over a plain image, for drawing the program's pictures with the
// very renderer and rasteriser the main window uses, without a window.

#include <QImage>
#include <optional>

#include "app/toolkit/surface.h"
#include "visual/raster.h"

namespace kelvane {

class ImageSurface : public Surface {
 public:
  ImageSurface(int width, int height);

  const QImage& image() const { return image_; }

  void SetViewportOrigin(Point origin) override { origin_ = origin; }
  void SelectClip(const std::optional<Rect>& clip) override;
  void SetPenColor(Color color) override { pen_ = ToPixel(color); }
  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetBrushColor(Color color) override { brush_ = ToPixel(color); }
  void Polyline(const Point* points, int count) override;
  void FrameRect(const Rect& rect) override;
  void Invalidate() override { Repaint(); }
  void Repaint() override;

 private:
  PixelBuffer Buffer();

  QImage image_;
  Point origin_;
  Rect clipBox_;
  std::uint32_t pen_ = ToPixel(0), brush_ = ToPixel(0);
  int penWidth_ = 1;
};

}  // namespace kelvane
