#pragma once
// A live preview of the session's tunnel, drawn by the program's own tunnel,
// pulse and frame procedures on the window's surface. Its stimulus area is
// the preview itself, so the whole frame shows. It runs only while shown.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "editor/session_document.h"
#include "state/session_state.h"
#include "visual/session_timers.h"

namespace kelvane {

class QtSurface;

class TunnelPreview : public QWidget {
  Q_OBJECT
 public:
  explicit TunnelPreview(QWidget* parent = nullptr);

  // Takes the session's colours, pulse, geometry, density, form and notes;
  // the tunnel runs on from where it is.
  void Show(const SessionDocument& document);
  bool Running() const { return timer_.isActive(); }

  QSize sizeHint() const override { return {400, 300}; }
  QSize minimumSizeHint() const override { return {200, 150}; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetUpArea();
  void Advance();

  SessionState state_;
  std::optional<SessionDocument> shown_;
  QtSurface* surface_;
  QTimer timer_;
  QElapsedTimer clock_;
  std::unique_ptr<SessionTimers> timers_;  // on clock_'s milliseconds
};

}  // namespace kelvane
