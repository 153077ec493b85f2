#pragma once
// The stimulus area on a picture of Kelvane's drawing area as its window has
// it on this screen: the surface between the menu bar and the status bar,
// with the comment panel over its right side. Drag the area to move it, a
// corner to resize it; what the window would hide is hatched.

#include <QWidget>
#include <functional>

#include "toolkit/geometry.h"

namespace kelvane {

class AreaPicker : public QWidget {
  Q_OBJECT
 public:
  explicit AreaPicker(QWidget* parent = nullptr);

  // Where Kelvane draws, in its window's logical pixels.
  void SetDrawingArea(const DrawingArea& drawingArea);
  // The area in window pixels and the frame's colour (0x00BBGGRR).
  void Show(const Rect& area, Color frame);
  // Runs on every step of a drag, with finished set on the last one.
  std::function<void(const Rect& area, bool finished)> onDrag;

  QSize sizeHint() const override { return {260, 190}; }
  QSize minimumSizeHint() const override { return {160, 110}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Grip { None, Move, TopLeft, TopRight, BottomLeft, BottomRight };
  // The window pixels the picture shows: the drawing area, and all of the
  // area when it reaches past it.
  Rect World() const;
  double Scale() const;
  QPointF ToWidget(double x, double y) const;
  QPointF ToWindow(const QPointF& p) const;
  QRectF OnWidget(const Rect& r) const;
  void PaintWindow(QPainter& p) const;
  void PaintArea(QPainter& p) const;
  Grip GripAt(const QPointF& p) const;
  Rect Dragged(const QPointF& p) const;
  void UpdateToolTip();

  DrawingArea drawing_;
  Rect area_;
  Color frame_ = 0;
  Grip grip_ = Grip::None;
  Rect world_;         // kept while dragging, so the picture holds still
  QPointF pressedAt_;  // in window pixels
  Rect pressedArea_;
};

}  // namespace kelvane
