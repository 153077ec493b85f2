#pragma once
// A live preview of what Kelvane's window shows of the session: its drawing
// area scaled to fit, with the comment panel, and the tunnel drawn at the
// area's true size by the program's own tunnel, pulse and frame procedures,
// then scaled by the same measure as the window. It runs only while it can
// be seen and is not paused.

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "editor/preview_layout.h"
#include "editor/session_document.h"
#include "state/session_state.h"
#include "visual/buffer_surface.h"
#include "visual/session_timers.h"

class QWindow;

namespace kelvane {

class TunnelPreview : public QWidget {
  Q_OBJECT
 public:
  explicit TunnelPreview(QWidget* parent = nullptr);

  // Where Kelvane draws on this screen: what the preview pictures.
  void SetDrawingArea(const DrawingArea& drawingArea);
  // Takes the session's area, colours, pulse, geometry, density, form and
  // notes; the tunnel runs on from where it is.
  void Show(const SessionDocument& document);
  // While a note sounds its colour flows into the tunnel, in place of the
  // session's colours; nullopt gives them back.
  void SetPlayingColor(std::optional<Color> color);
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  bool Running() const { return timer_.isActive(); }
  const PreviewLayout& Layout() const { return layout_; }

  QSize sizeHint() const override { return {400, 300}; }
  QSize minimumSizeHint() const override { return {160, 120}; }

 signals:
  void RunningChanged(bool running);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUpArea();
  void Advance();
  void UpdateRunning();
  void ApplyColors();
  void PaintWindow(QPainter& p) const;
  QImage Tunnel() const;

  DrawingArea drawing_;
  PreviewLayout layout_;
  SessionState state_;
  std::optional<SessionDocument> shown_;
  std::optional<Color> playing_;
  BufferSurface surface_{1, 1};
  QTimer timer_;
  QElapsedTimer clock_;
  double resumedAt_ = 0;  // the tunnel's time when the clock last started
  SessionTimers timers_{1000, 1000};  // on milliseconds of the tunnel's own time
  bool paused_ = false;
  QWindow* watchedWindow_ = nullptr;
};

}  // namespace kelvane
