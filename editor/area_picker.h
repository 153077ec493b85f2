#pragma once
// The stimulus area as a rectangle on a scaled picture of the screen: drag
// it to move it, drag a corner to resize it.

#include <QWidget>
#include <functional>

#include "toolkit/geometry.h"

namespace kelvane {

class AreaPicker : public QWidget {
  Q_OBJECT
 public:
  explicit AreaPicker(QWidget* parent = nullptr);

  // The area in window pixels and the frame's colour (0x00BBGGRR).
  void Show(const Rect& area, Color frame);
  // Runs on every step of a drag, with finished set on the last one.
  std::function<void(const Rect& area, bool finished)> onDrag;

  QSize sizeHint() const override { return {260, 150}; }
  QSize minimumSizeHint() const override { return {160, 100}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Grip { None, Move, TopLeft, TopRight, BottomLeft, BottomRight };
  QRectF ScreenOnWidget() const;
  QPointF ToWidget(double x, double y) const;
  QPointF ToScreen(const QPointF& p) const;
  QRectF AreaOnWidget() const;
  Grip GripAt(const QPointF& p) const;
  Rect Dragged(const QPointF& p) const;

  QSize screen_;
  Rect area_;
  Color frame_ = 0;
  Grip grip_ = Grip::None;
  QPointF pressedAt_;  // in screen pixels
  Rect pressedArea_;
};

}  // namespace kelvane
