#include "commands/main_commands.h"

#include "visual/color_arrays.h"
#include "visual/stimulus_area.h"

namespace kelvane {

void FormActivate(SessionState& s, MainControls& c) {
  c.timer2.SetEnabled(false);
  SeedTunnelColors(s);
  s.sessionOpen = 0;
  if (s.splashPending) {
    c.shell.ShowModal(ModalWindow::Splash);
    s.splashPending = false;
  }
}

void FormClose(SessionState& s, MainControls& c) {
  c.table.Close();
  c.surface.SelectClip(std::nullopt);
  c.timer2.SetEnabled(false);
  c.player.SetNotify(false);
  // A player that never had a file open is never addressed.
  if (s.playing) {
    c.player.Stop();
    s.playing = false;
  }
  s.cycles = 0;
}

void ExitClick1(SessionState&, MainControls& c) { c.shell.CloseMainWindow(); }

void AboutMenuClick(SessionState& s, MainControls& c) {
  c.shell.ShowModal(ModalWindow::About);
  DrawAreaFrame(s, c.surface);
}

void LicenseMenuClick(SessionState& s, MainControls& c) {
  c.shell.ShowModal(ModalWindow::License);
  DrawAreaFrame(s, c.surface);
}

void FormPaint(SessionState& s, MainControls& c) { DrawAreaFrame(s, c.surface); }

}  // namespace kelvane
