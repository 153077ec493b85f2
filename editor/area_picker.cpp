#include "editor/area_picker.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "editor/drawing_area_picture.h"

namespace kelvane {
namespace {

constexpr double kMargin = 6;
constexpr double kGripRadius = 6;  // widget pixels around a corner that grab it
constexpr int kSmallestSide = 8;   // window pixels an area keeps when resized

QColor ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

Rect United(const Rect& a, const Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

Rect Intersected(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

AreaPicker::AreaPicker(QWidget* parent) : QWidget(parent) {
  setObjectName("AreaPicker");
  setMouseTracking(true);
  SetDrawingArea({1280, 960, {0, 0, 1280 - 172, 960}});
}

void AreaPicker::SetDrawingArea(const DrawingArea& drawingArea) {
  if (drawingArea == drawing_) return;
  drawing_ = drawingArea;
  UpdateToolTip();
  update();
}

void AreaPicker::Show(const Rect& area, Color frame) {
  if (area == area_ && frame == frame_) return;
  area_ = area;
  frame_ = frame;
  update();
}

void AreaPicker::UpdateToolTip() {
  setToolTip(QString("Kelvane's window as it opens on this screen: it draws on %1 x %2 pixels, and its comment panel "
                     "covers them from x %3 on. Drag the area to move it, a corner to resize it.")
                 .arg(drawing_.width)
                 .arg(drawing_.height)
                 .arg(drawing_.shown.right));
}

Rect AreaPicker::World() const {
  if (grip_ != Grip::None) return world_;
  // Far-off corners from a file would shrink the window to a dot; the
  // picture reaches a window's size beyond it at most, and the rest is cut.
  const Rect window{0, 0, drawing_.width, drawing_.height};
  const Rect reach{-drawing_.width, -drawing_.height, 2 * drawing_.width, 2 * drawing_.height};
  return United(window, Intersected(Normalized(area_), reach));
}

double AreaPicker::Scale() const {
  const Rect w = World();
  return std::min((width() - 2 * kMargin) / std::max(1, w.right - w.left),
                  (height() - 2 * kMargin) / std::max(1, w.bottom - w.top));
}

QPointF AreaPicker::ToWidget(double x, double y) const {
  const Rect w = World();
  const double scale = Scale();
  const double left = (width() - (w.right - w.left) * scale) / 2, top = (height() - (w.bottom - w.top) * scale) / 2;
  return {left + (x - w.left) * scale, top + (y - w.top) * scale};
}

QPointF AreaPicker::ToWindow(const QPointF& p) const {
  const QPointF origin = ToWidget(0, 0);
  return (p - origin) / Scale();
}

QRectF AreaPicker::OnWidget(const Rect& r) const {
  return QRectF(ToWidget(r.left, r.top), ToWidget(r.right, r.bottom));
}

void AreaPicker::PaintWindow(QPainter& p) const {
  const QPointF origin = ToWidget(0, 0);
  QTransform toWidget;
  toWidget.translate(origin.x(), origin.y());
  toWidget.scale(Scale(), Scale());
  PaintDrawingArea(p, drawing_, toWidget, palette());
}

void AreaPicker::PaintArea(QPainter& p) const {
  const Rect a = Intersected(Normalized(area_), World());
  if (Empty(a)) return;
  const QRectF area = OnWidget(a);
  // What the window shows of it, framed in its colour; the rest hatched.
  const Rect seen = Intersected(a, drawing_.shown);
  if (!Empty(seen)) p.fillRect(OnWidget(seen), QColor(0x10, 0x10, 0x14));
  p.save();
  QRegion hidden(area.toAlignedRect());
  if (!Empty(seen)) hidden -= OnWidget(seen).toAlignedRect();
  p.setClipRegion(hidden);
  p.fillRect(area, QBrush(QColor(0xE0, 0x30, 0x30), Qt::BDiagPattern));
  p.restore();
  // Bright enough to see on the black window even when the frame is black.
  const QColor frame = ToQColor(frame_);
  p.setPen(QPen(frame.lightness() < 60 ? QColor(0x70, 0x70, 0x70) : frame, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(area);
  if (!Empty(seen) && seen != a) {
    p.setPen(QPen(QColor(0xE0, 0x30, 0x30), 1, Qt::DashLine));
    p.drawRect(OnWidget(seen));
  }
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(QColor(0x40, 0x40, 0x40));
  for (const QPointF& corner : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()})
    p.drawRect(QRectF(corner.x() - 3, corner.y() - 3, 6, 6));
}

void AreaPicker::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  PaintWindow(p);
  PaintArea(p);
}

AreaPicker::Grip AreaPicker::GripAt(const QPointF& at) const {
  const QRectF a = OnWidget(Intersected(Normalized(area_), World()));
  // Inside a small area the corners grab only their own quarter's edge, so
  // its middle always moves it.
  const double inside = std::min({kGripRadius, a.width() / 4, a.height() / 4});
  const auto near = [&](const QPointF& corner) {
    const double dx = std::abs(at.x() - corner.x()), dy = std::abs(at.y() - corner.y());
    const double reach = a.contains(at) ? inside : kGripRadius;
    return dx <= reach && dy <= reach;
  };
  if (near(a.topLeft())) return Grip::TopLeft;
  if (near(a.topRight())) return Grip::TopRight;
  if (near(a.bottomLeft())) return Grip::BottomLeft;
  if (near(a.bottomRight())) return Grip::BottomRight;
  return a.contains(at) ? Grip::Move : Grip::None;
}

// Dragged within what the window shows: under the panel or past the edge
// the area would only be hidden.
Rect AreaPicker::Dragged(const QPointF& at) const {
  const QPointF now = ToWindow(at);
  const int dx = static_cast<int>(std::lround(now.x() - pressedAt_.x()));
  const int dy = static_cast<int>(std::lround(now.y() - pressedAt_.y()));
  Rect r = Normalized(pressedArea_);
  const Rect& s = drawing_.shown;
  if (grip_ == Grip::Move) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = std::clamp(r.left + dx, s.left, std::max(s.left, s.right - w));
    const int y = std::clamp(r.top + dy, s.top, std::max(s.top, s.bottom - h));
    return {x, y, x + w, y + h};
  }
  const bool left = grip_ == Grip::TopLeft || grip_ == Grip::BottomLeft;
  const bool top = grip_ == Grip::TopLeft || grip_ == Grip::TopRight;
  if (left) r.left = std::clamp(r.left + dx, std::min(s.left, r.right - kSmallestSide), r.right - kSmallestSide);
  else r.right = std::clamp(r.right + dx, r.left + kSmallestSide, std::max(s.right, r.left + kSmallestSide));
  if (top) r.top = std::clamp(r.top + dy, std::min(s.top, r.bottom - kSmallestSide), r.bottom - kSmallestSide);
  else r.bottom = std::clamp(r.bottom + dy, r.top + kSmallestSide, std::max(s.bottom, r.top + kSmallestSide));
  return r;
}

void AreaPicker::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Grip grip = GripAt(event->position());
  if (grip == Grip::None) return;
  world_ = World();
  grip_ = grip;
  pressedAt_ = ToWindow(event->position());
  pressedArea_ = area_;
}

void AreaPicker::mouseMoveEvent(QMouseEvent* event) {
  if (grip_ == Grip::None) {
    const Grip over = GripAt(event->position());
    const bool diagonal = over == Grip::TopLeft || over == Grip::BottomRight;
    setCursor(over == Grip::Move   ? Qt::SizeAllCursor
              : over == Grip::None ? Qt::ArrowCursor
              : diagonal           ? Qt::SizeFDiagCursor
                                   : Qt::SizeBDiagCursor);
    return;
  }
  if (onDrag) onDrag(Dragged(event->position()), false);
}

void AreaPicker::mouseReleaseEvent(QMouseEvent* event) {
  if (grip_ == Grip::None || event->button() != Qt::LeftButton) return;
  const Rect last = Dragged(event->position());
  grip_ = Grip::None;
  if (onDrag) onDrag(last, true);
  update();
}

}  // namespace kelvane
