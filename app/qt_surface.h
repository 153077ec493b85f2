#pragma once
// The main window's drawing surface: a persistent image the size of the
// client area that the program draws into and the window shows.

#include <QImage>
#include <QWidget>
#include <functional>

#include "app/toolkit/surface.h"

namespace kelvane {

class QtSurface : public QWidget, public Surface {
  Q_OBJECT
 public:
  explicit QtSurface(QWidget* parent = nullptr);

  // Runs after every erase (FormPaint).
  std::function<void()> onPaint;
  const QImage& image() const { return image_; }

  void SetViewportOrigin(Point origin) override { origin_ = origin; }
  void SelectClip(const std::optional<Rect>& clip) override { clip_ = clip; }
  void SetPenColor(Color color) override { pen_ = color; }
  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetBrushColor(Color color) override { brush_ = color; }
  void Polyline(const Point* points, int count) override;
  void FrameRect(const Rect& rect) override;
  void Invalidate() override;
  void Repaint() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void EraseAndPaint();

  QImage image_;
  Point origin_;
  std::optional<Rect> clip_;
  Color pen_ = 0, brush_ = 0;
  int penWidth_ = 1;
};

}  // namespace kelvane
