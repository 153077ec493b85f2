#include "editor/tunnel_preview.h"


#include "editor/document_state.h"
#include "qt/qt_surface.h"
#include "visual/color_arrays.h"
#include "visual/stimulus_area.h"

namespace kelvane {
namespace {

// Kelvane's timers: the tunnel every millisecond, the pulse every 50. The
// surface shows its image every 16 ms, so the preview runs the ticks that
// fell due since at their own moments, at about that pace; what it shows is
// the same.
constexpr int kFrameMs = 16;
constexpr double kTicksASecond = 1000;
// A frame later than this runs what it missed once, as a late window timer
// does, so a busy machine does not stall on making ticks up.
constexpr qint64 kMostLagMs = 64;
// The frame is three pixels wide, outside the area.
constexpr int kFrameInset = 4;

}  // namespace

TunnelPreview::TunnelPreview(QWidget* parent) : QWidget(parent), surface_(new QtSurface(this)) {
  setObjectName("TunnelPreview");
  SeedTunnelColors(state_);
  ClearColorSequence(state_);
  surface_->onPaint = [this] { DrawAreaFrame(state_, *surface_); };
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kFrameMs);
  connect(&timer_, &QTimer::timeout, this, &TunnelPreview::Advance);
}

void TunnelPreview::Show(const SessionDocument& document) {
  // The tunnel is never erased while it runs, so what it drew stays. A new
  // frame colour, pen or shrink starts afresh, or the old look would linger.
  const SessionDocument& d = document;
  const bool fresh = !shown_ || d.colorR != shown_->colorR || d.colorG != shown_->colorG ||
                     d.colorB != shown_->colorB || d.density != shown_->density || d.form != shown_->form ||
                     d.geoVertical != shown_->geoVertical;
  shown_ = document;
  ApplyDocument(document, state_);
  if (fresh) SetUpArea();
}

void TunnelPreview::SetUpArea() {
  const QRect inside = surface_->rect().adjusted(kFrameInset, kFrameInset, -kFrameInset, -kFrameInset);
  state_.areaX1 = inside.left(), state_.areaY1 = inside.top();
  state_.areaX2 = inside.right() + 1, state_.areaY2 = inside.bottom() + 1;
  // As Open does: a clean surface, then the area and its frame.
  surface_->Repaint();
  SetUpStimulusArea(state_, *surface_);
}

void TunnelPreview::Advance() {
  const auto now = static_cast<double>(clock_.elapsed());
  if (now - timers_->Now() > kMostLagMs) {
    timers_->AdvanceTo(now - kMostLagMs);
    timers_->RunDue(state_, *surface_);
  }
  timers_->RunUntil(now, state_, *surface_);
}

void TunnelPreview::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  clock_.start();
  timers_ = std::make_unique<SessionTimers>(1000, kTicksASecond);
  timer_.start();
}

void TunnelPreview::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void TunnelPreview::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The surface makes a new image at its new size; the area follows it.
  surface_->setGeometry(rect());
  SetUpArea();
}

}  // namespace kelvane
