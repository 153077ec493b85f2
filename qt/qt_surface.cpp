#include "qt/qt_surface.h"

#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace kelvane {
namespace {
// About one frame of a 60 Hz display: ticks come every millisecond, but the
// window is shown no faster than the screen can show it.
constexpr int kFlushIntervalMs = 16;

}  // namespace

QtSurface::QtSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(kFlushIntervalMs);
  connect(&flushTimer_, &QTimer::timeout, this, &QtSurface::Flush);
}

PixelBuffer QtSurface::Buffer() {
  if (image_.isNull()) return {};
  // bits() detaches only if someone holds a copy of the image.
  return {reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
          image_.bytesPerLine() / 4};
}

void QtSurface::SetViewportOrigin(Point origin) {
  origin_ = origin;
  cache_.BeginTick();
}

void QtSurface::SelectClip(const std::optional<Rect>& clip) {
  if (clip == clip_) return;  // the tunnel selects the same clip 390 times a tick
  clip_ = clip;
  clipBox_ = ClipToBuffer({nullptr, image_.width(), image_.height(), 0}, clip_);
}

void QtSurface::Polyline(const Point* points, int count) {
  if (count < 2 || image_.isNull() || clipBox_.right <= clipBox_.left || clipBox_.bottom <= clipBox_.top) return;
  cache_.Draw(Buffer(), clipBox_, points, count, origin_, penWidth_, pen_);
  MarkDirty(Reach(points, count));
}

// The part of the image a polyline can have touched: its points' box grown
// by the pen, cut to the clip.
QRect QtSurface::Reach(const Point* points, int count) const {
  const int grow = EffectivePenWidth(penWidth_) / 2 + 1;
  std::int64_t minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
  for (int i = 1; i < count; ++i) {
    minX = std::min<std::int64_t>(minX, points[i].x), maxX = std::max<std::int64_t>(maxX, points[i].x);
    minY = std::min<std::int64_t>(minY, points[i].y), maxY = std::max<std::int64_t>(maxY, points[i].y);
  }
  const auto cut = [](std::int64_t v, int lo, int hi) {
    return static_cast<int>(std::clamp<std::int64_t>(v, lo, hi));
  };
  const int left = cut(minX + origin_.x - grow, clipBox_.left, clipBox_.right);
  const int right = cut(maxX + origin_.x + grow + 1, clipBox_.left, clipBox_.right);
  const int top = cut(minY + origin_.y - grow, clipBox_.top, clipBox_.bottom);
  const int bottom = cut(maxY + origin_.y + grow + 1, clipBox_.top, clipBox_.bottom);
  return right > left && bottom > top ? QRect(left, top, right - left, bottom - top) : QRect();
}

void QtSurface::FrameRect(const Rect& rect) {
  if (image_.isNull()) return;
  FrameRectangle(Buffer(), rect, brush_);
  const Rect r = ClipToBuffer({nullptr, image_.width(), image_.height(), 0}, rect);
  if (r.right > r.left && r.bottom > r.top) MarkDirty(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

void QtSurface::MarkDirty(const QRect& rect) {
  if (rect.isEmpty()) return;
  dirty_ |= rect;
  if (!flushTimer_.isActive()) flushTimer_.start();
}

void QtSurface::Flush() {
  if (dirty_.isEmpty()) return;
  update(dirty_);
  dirty_ = QRect();
}

void QtSurface::Invalidate() {
  // Coalesced: several invalidations before the next event turn erase once.
  if (erasePending_) return;
  erasePending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        erasePending_ = false;
        EraseAndPaint();
      },
      Qt::QueuedConnection);
}

void QtSurface::Repaint() { EraseAndPaint(); }

void QtSurface::EraseAndPaint() {
  if (!image_.isNull()) FillBuffer(Buffer(), ToPixel(0));
  if (onPaint) onPaint();
  dirty_ = QRect();
  update();
}

// On a scaled display every device pixel takes the same image pixel,
// whichever part of the window is repainted, so fractional ratios leave
// neither seams nor stale pixels at the edges of an update: the whole image
// is scaled up, without smoothing, and the painter's clip keeps the work to
// what needs showing. At a ratio of exactly 2, the common one, Qt's general
// scaling cost more than the tunnel's ticks; there each pixel is written as
// two by two straight into the window's backing store.
void QtSurface::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  if (image_.isNull()) {
    p.fillRect(event->rect(), Qt::black);
    return;
  }
  const qreal ratio = devicePixelRatioF();
  if (ratio == 1.0)
    p.drawImage(event->rect().topLeft(), image_, event->rect());
  else if (ratio != 2.0 || !DoubleOnto(p, event->region()))
    p.drawImage(QRect(QPoint(0, 0), image_.size()), image_);
}

// The painter paints into the backing store, an image of 32-bit pixels at
// twice the widget's scale: each rectangle of the region to paint (which
// leaves out the opaque children) is written there pixel by pixel. False,
// having written nothing, for any other device.
bool QtSurface::DoubleOnto(QPainter& p, const QRegion& region) {
  auto* store = dynamic_cast<QImage*>(p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr);
  const QTransform t = p.deviceTransform();
  const bool rgb32 = store != nullptr && (store->format() == QImage::Format_RGB32 ||
                                          store->format() == QImage::Format_ARGB32_Premultiplied);
  if (!rgb32 || !store->isDetached() || t.type() > QTransform::TxScale || t.m11() != 2 || t.m22() != 2) return false;
  const QPoint offset(qRound(t.dx()), qRound(t.dy()));
  if ((offset.x() | offset.y()) & 1) return false;
  for (const QRect& logical : region) {
    const QRect part = logical & image_.rect();
    const QRect target = QRect(offset + part.topLeft() * 2, part.size() * 2) & store->rect();
    if (target.isEmpty()) continue;
    const int firstX = (target.left() - offset.x()) / 2, count = target.width();
    for (int y = target.top(); y <= target.bottom(); ++y) {
      auto* out = reinterpret_cast<std::uint32_t*>(store->scanLine(y)) + target.left();
      if (y > target.top() && ((y - offset.y()) & 1)) {
        std::memcpy(out, reinterpret_cast<const std::uint32_t*>(store->constScanLine(y - 1)) + target.left(),
                    static_cast<std::size_t>(count) * sizeof(std::uint32_t));
        continue;
      }
      const auto* in = reinterpret_cast<const std::uint32_t*>(image_.constScanLine((y - offset.y()) / 2)) + firstX;
      for (int i = 0; i < count / 2; ++i) out[2 * i] = out[2 * i + 1] = in[i];
      if (count & 1) out[count - 1] = in[count / 2];
    }
  }
  return true;
}

// The image has the widget's size in logical pixels, the unit of a session's
// coordinates, so a session covers the same part of the window on every
// display; the tunnel costs the same at any scale.
void QtSurface::resizeEvent(QResizeEvent*) {
  image_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  cache_.Clear();
  clipBox_ = ClipToBuffer({nullptr, image_.width(), image_.height(), 0}, clip_);
  EraseAndPaint();
}

}  // namespace kelvane
