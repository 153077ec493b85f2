#pragma once
// A Surface over a plain pixel buffer, for drawing with the very tunnel and
// rasteriser the main window uses, without a window: the program's pictures
// at build time, and the headless session renderer.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "toolkit/surface.h"
#include "visual/polyline_cache.h"
#include "visual/raster.h"

namespace kelvane {

class BufferSurface : public Surface {
 public:
  BufferSurface(int width, int height);

  // Runs after every erase, as the window's paint handler does.
  std::function<void()> onPaint;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // A new black image of the new size, painted as the window is after a
  // resize; the viewport origin and the clip stay as they were set.
  void Resize(int width, int height);
  // Pixels 0xFFRRGGBB, row after row.
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  void SetViewportOrigin(Point origin) override {
    origin_ = origin;
    cache_.BeginTick();
  }
  void SelectClip(const std::optional<Rect>& clip) override;
  void SetPenColor(Color color) override { pen_ = ToPixel(color); }
  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetBrushColor(Color color) override { brush_ = ToPixel(color); }
  void Polyline(const Point* points, int count) override;
  void FrameRect(const Rect& rect) override;
  // Nothing waits for a later paint here: both erase and paint at once.
  void Invalidate() override { Repaint(); }
  void Repaint() override;

 private:
  PixelBuffer Buffer();

  std::optional<Rect> clip_;
  int width_, height_;
  std::vector<std::uint32_t> pixels_;
  Point origin_;
  Rect clipBox_;
  std::uint32_t pen_ = ToPixel(0), brush_ = ToPixel(0);
  int penWidth_ = 1;
  PolylineCache cache_;
};

}  // namespace kelvane
