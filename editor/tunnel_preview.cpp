#include "editor/tunnel_preview.h"

#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "editor/document_state.h"
#include "editor/drawing_area_picture.h"
#include "visual/color_arrays.h"
#include "visual/stimulus_area.h"

namespace kelvane {
namespace {

// Kelvane's timers: the tunnel every millisecond, the pulse every 50. The
// preview runs the ticks that fell due since the last frame at their own
// moments, once a display frame; what it shows is the same.
constexpr int kFrameMs = 16;
// A frame later than this runs what it missed once, as a late window timer
// does, so a busy machine does not stall on making ticks up.
constexpr double kMostLagMs = 64;

}  // namespace

TunnelPreview::TunnelPreview(QWidget* parent) : QWidget(parent) {
  setObjectName("TunnelPreview");
  setAttribute(Qt::WA_OpaquePaintEvent);
  SeedTunnelColors(state_);
  ClearColorSequence(state_);
  surface_.onPaint = [this] { DrawAreaFrame(state_, surface_); };
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kFrameMs);
  connect(&timer_, &QTimer::timeout, this, &TunnelPreview::Advance);
  drawing_ = {1280, 960, {0, 0, 1280 - 172, 960}};
}

void TunnelPreview::SetDrawingArea(const DrawingArea& drawingArea) {
  if (drawingArea == drawing_) return;
  drawing_ = drawingArea;
  SetUpArea();
}

void TunnelPreview::Show(const SessionDocument& document) {
  // The tunnel is never erased while it runs, so what it drew stays. A new
  // area, frame colour, pen or shrink starts afresh, or the old look would linger.
  const SessionDocument& d = document;
  const bool fresh = !shown_ || d.colorR != shown_->colorR || d.colorG != shown_->colorG ||
                     d.colorB != shown_->colorB || d.density != shown_->density || d.form != shown_->form ||
                     d.geoVertical != shown_->geoVertical || d.areaX1 != shown_->areaX1 ||
                     d.areaY1 != shown_->areaY1 || d.areaX2 != shown_->areaX2 || d.areaY2 != shown_->areaY2;
  shown_ = document;
  ApplyColors();
  if (fresh) SetUpArea();
}

void TunnelPreview::ApplyColors() {
  if (shown_) ApplyDocument(*shown_, state_);
  if (playing_) {
    state_.colorSequenceLength = kSequenceEntries;
    auto sequence = state_.ColorSequence();
    std::fill(sequence.begin(), sequence.end(), *playing_);
  }
}

void TunnelPreview::SetPlayingColor(std::optional<Color> color) {
  if (color == playing_) return;
  playing_ = color;
  ApplyColors();
}

// The surface holds the part of the window the tunnel is drawn in, at its
// true size; the area's corners are moved with it, which moves nothing of
// the tunnel relative to its area.
void TunnelPreview::SetUpArea() {
  if (!shown_) return;
  const SessionDocument& d = *shown_;
  layout_ = LayOutPreview(drawing_, {d.areaX1, d.areaY1, d.areaX2, d.areaY2}, width(), height());
  const Rect& drawn = layout_.drawn;
  const auto moved = [](std::int32_t v, std::int32_t by) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{v} - by, INT32_MIN, INT32_MAX));
  };
  state_.areaX1 = moved(d.areaX1, drawn.left), state_.areaX2 = moved(d.areaX2, drawn.left);
  state_.areaY1 = moved(d.areaY1, drawn.top), state_.areaY2 = moved(d.areaY2, drawn.top);
  // As Open does: a clean surface, then the area and its frame.
  surface_.Resize(std::max(1, drawn.right - drawn.left), std::max(1, drawn.bottom - drawn.top));
  SetUpStimulusArea(state_, surface_);
  update();
}

void TunnelPreview::Advance() {
  const double now = resumedAt_ + static_cast<double>(clock_.elapsed());
  if (now - timers_.Now() > kMostLagMs) {
    timers_.AdvanceTo(now - kMostLagMs);
    timers_.RunDue(state_, surface_);
  }
  timers_.RunUntil(now, state_, surface_);
  update();
}

void TunnelPreview::SetPaused(bool paused) {
  paused_ = paused;
  UpdateRunning();
}

// Runs while it can be seen: shown, in a window that is on the screen (not
// minimised), and not paused.
void TunnelPreview::UpdateRunning() {
  const QWindow* w = window()->windowHandle();
  const bool run = !paused_ && isVisible() && w != nullptr && w->isExposed();
  if (run == timer_.isActive()) return;
  if (run) {
    resumedAt_ = timers_.Now();
    clock_.start();
    timer_.start();
  } else {
    timer_.stop();
  }
  emit RunningChanged(run);
}

bool TunnelPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedWindow_ && (event->type() == QEvent::Expose || event->type() == QEvent::Hide ||
                                    event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange))
    QMetaObject::invokeMethod(this, &TunnelPreview::UpdateRunning, Qt::QueuedConnection);
  return QWidget::eventFilter(watched, event);
}

void TunnelPreview::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (QWindow* w = window()->windowHandle(); w != watchedWindow_) {
    if (watchedWindow_ != nullptr) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = w;
    if (w != nullptr) w->installEventFilter(this);
  }
  UpdateRunning();
}

void TunnelPreview::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  UpdateRunning();
}

void TunnelPreview::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SetUpArea();
}

QImage TunnelPreview::Tunnel() const {
  // The surface's pixels as they are, 0xFFRRGGBB, without a copy.
  return QImage(reinterpret_cast<const uchar*>(surface_.Pixels().data()), surface_.Width(), surface_.Height(),
                static_cast<qsizetype>(surface_.Width()) * 4, QImage::Format_RGB32);
}

void TunnelPreview::PaintWindow(QPainter& p) const {
  const double s = layout_.scale;
  const auto box = [&](const Rect& r) {
    return QRectF(layout_.left + r.left * s, layout_.top + r.top * s, (r.right - r.left) * s, (r.bottom - r.top) * s);
  };
  QTransform toWidget;
  toWidget.translate(layout_.left, layout_.top);
  toWidget.scale(s, s);
  PaintDrawingArea(p, drawing_, toWidget, palette());
  const Rect& drawn = layout_.drawn;
  if (drawn.right <= drawn.left || !shown_) return;
  const QRectF target = box(drawn);
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (target.size() * ratio).toSize();
  if (pixels.isEmpty()) return;
  // Averaged down, so rings finer than a pixel of the picture blend as the
  // eye would blend them from afar, rather than flicker.
  QImage picture = pixels == Tunnel().size() ? Tunnel() : Tunnel().scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  picture.setDevicePixelRatio(ratio);
  p.drawImage(target.topLeft(), picture);
}

void TunnelPreview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  PaintWindow(p);
}

}  // namespace kelvane
