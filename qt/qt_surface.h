#pragma once
// The main window's drawing surface: a persistent image, in the window's
// logical pixels, that the program draws into and the window shows at the
// display's pace, scaled up on a scaled display.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "toolkit/surface.h"
#include "visual/polyline_cache.h"
#include "visual/raster.h"

namespace kelvane {

class QtSurface : public QWidget, public Surface {
  Q_OBJECT
 public:
  explicit QtSurface(QWidget* parent = nullptr);

  // Runs after every erase (FormPaint).
  std::function<void()> onPaint;
  // The persistent image, for tests and screenshots.
  const QImage& image() const { return image_; }

  void SetViewportOrigin(Point origin) override;
  void SelectClip(const std::optional<Rect>& clip) override;
  void SetPenColor(Color color) override { pen_ = ToPixel(color); }
  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetBrushColor(Color color) override { brush_ = ToPixel(color); }
  void Polyline(const Point* points, int count) override;
  void FrameRect(const Rect& rect) override;
  void Invalidate() override;
  void Repaint() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  PixelBuffer Buffer();
  QRect Reach(const Point* points, int count) const;
  void MarkDirty(const QRect& rect);
  void Flush();
  void EraseAndPaint();
  bool DoubleOnto(QPainter& p, const QRegion& region);

  QImage image_;
  QRect dirty_;  // pixels drawn since the last flush
  QTimer flushTimer_;
  bool erasePending_ = false;
  Point origin_;
  std::optional<Rect> clip_;
  Rect clipBox_;  // clip_ in image pixels, kept current with the image
  std::uint32_t pen_ = ToPixel(0), brush_ = ToPixel(0);
  int penWidth_ = 1;
  PolylineCache cache_;
};

}  // namespace kelvane
