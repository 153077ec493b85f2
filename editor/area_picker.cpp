#include "editor/area_picker.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace kelvane {
namespace {

constexpr double kMargin = 6;
constexpr double kGripRadius = 6;  // pixels around a corner that grab it
constexpr int kSmallestSide = 8;   // screen pixels an area keeps when resized

QColor ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

AreaPicker::AreaPicker(QWidget* parent) : QWidget(parent) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  screen_ = screen != nullptr && !screen->size().isEmpty() ? screen->size() : QSize(1920, 1080);
  setMouseTracking(true);
  setToolTip(QString("Kelvane's window on a %1 x %2 screen: drag the area to move it, a corner to resize it")
                 .arg(screen_.width())
                 .arg(screen_.height()));
}

void AreaPicker::Show(const Rect& area, Color frame) {
  if (area == area_ && frame == frame_) return;
  area_ = area;
  frame_ = frame;
  update();
}

QRectF AreaPicker::ScreenOnWidget() const {
  const double scale = std::min((width() - 2 * kMargin) / screen_.width(), (height() - 2 * kMargin) / screen_.height());
  const double w = screen_.width() * scale, h = screen_.height() * scale;
  return {(width() - w) / 2, (height() - h) / 2, w, h};
}

QPointF AreaPicker::ToWidget(double x, double y) const {
  const QRectF s = ScreenOnWidget();
  return {s.left() + x * s.width() / screen_.width(), s.top() + y * s.height() / screen_.height()};
}

QPointF AreaPicker::ToScreen(const QPointF& p) const {
  const QRectF s = ScreenOnWidget();
  return {(p.x() - s.left()) * screen_.width() / s.width(), (p.y() - s.top()) * screen_.height() / s.height()};
}

QRectF AreaPicker::AreaOnWidget() const {
  const Rect r = Normalized(area_);
  return QRectF(ToWidget(r.left, r.top), ToWidget(r.right, r.bottom));
}

void AreaPicker::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  const QRectF screen = ScreenOnWidget();
  p.fillRect(screen, QColor(0x20, 0x20, 0x24));
  p.setPen(QPen(palette().mid().color(), 1));
  p.drawRect(screen);
  p.setClipRect(screen.adjusted(-3, -3, 3, 3));
  const QRectF area = AreaOnWidget();
  p.fillRect(area, Qt::black);
  // Bright enough to see on the dark screen even when the frame is black.
  const QColor frame = ToQColor(frame_);
  p.setPen(QPen(frame.lightness() < 60 ? QColor(0x70, 0x70, 0x70) : frame, 2));
  p.drawRect(area);
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(QColor(0x40, 0x40, 0x40));
  for (const QPointF& corner : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()})
    p.drawRect(QRectF(corner.x() - 3, corner.y() - 3, 6, 6));
}

AreaPicker::Grip AreaPicker::GripAt(const QPointF& at) const {
  const QRectF a = AreaOnWidget();
  const auto near = [&](const QPointF& corner) {
    return std::abs(at.x() - corner.x()) <= kGripRadius && std::abs(at.y() - corner.y()) <= kGripRadius;
  };
  if (near(a.topLeft())) return Grip::TopLeft;
  if (near(a.topRight())) return Grip::TopRight;
  if (near(a.bottomLeft())) return Grip::BottomLeft;
  if (near(a.bottomRight())) return Grip::BottomRight;
  return a.contains(at) ? Grip::Move : Grip::None;
}

Rect AreaPicker::Dragged(const QPointF& at) const {
  const QPointF now = ToScreen(at);
  const int dx = static_cast<int>(std::lround(now.x() - pressedAt_.x()));
  const int dy = static_cast<int>(std::lround(now.y() - pressedAt_.y()));
  Rect r = Normalized(pressedArea_);
  const int w = screen_.width(), h = screen_.height();
  if (grip_ == Grip::Move) {
    // Whole, inside the screen.
    const int x = std::clamp(r.left + dx, 0, std::max(0, w - (r.right - r.left)));
    const int y = std::clamp(r.top + dy, 0, std::max(0, h - (r.bottom - r.top)));
    return {x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
  }
  const bool left = grip_ == Grip::TopLeft || grip_ == Grip::BottomLeft;
  const bool top = grip_ == Grip::TopLeft || grip_ == Grip::TopRight;
  if (left) r.left = std::clamp(r.left + dx, 0, r.right - kSmallestSide);
  else r.right = std::clamp(r.right + dx, r.left + kSmallestSide, w);
  if (top) r.top = std::clamp(r.top + dy, 0, r.bottom - kSmallestSide);
  else r.bottom = std::clamp(r.bottom + dy, r.top + kSmallestSide, h);
  return r;
}

void AreaPicker::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  grip_ = GripAt(event->position());
  pressedAt_ = ToScreen(event->position());
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
}

}  // namespace kelvane
