#include "app/qt_surface.h"

#include <QPainter>
#include <QTimer>

namespace kelvane {
namespace {
QColor ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
}  // namespace

QtSurface::QtSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtSurface::Polyline(const Point* points, int count) {
  QPainter p(&image_);
  if (clip_) {
    const Rect r = Normalized(*clip_);
    p.setClipRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
  }
  p.translate(origin_.x, origin_.y);
  p.setPen(QPen(ToQColor(pen_), std::max(penWidth_, 1), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPolygon poly;
  for (int i = 0; i < count; ++i) poly << QPoint(points[i].x, points[i].y);
  p.drawPolyline(poly);
  update();
}

void QtSurface::FrameRect(const Rect& rect) {
  const Rect r = Normalized(rect);
  if (r.right - r.left <= 0 || r.bottom - r.top <= 0) return;
  QPainter p(&image_);
  p.setPen(QPen(ToQColor(brush_), 1));
  p.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
  update();
}

void QtSurface::Invalidate() { QTimer::singleShot(0, this, [this] { EraseAndPaint(); }); }

void QtSurface::Repaint() { EraseAndPaint(); }

void QtSurface::EraseAndPaint() {
  image_.fill(Qt::black);
  if (onPaint) onPaint();
  update();
}

void QtSurface::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

void QtSurface::resizeEvent(QResizeEvent*) {
  image_ = QImage(size(), QImage::Format_RGB32);
  EraseAndPaint();
}

}  // namespace kelvane
