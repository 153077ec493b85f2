#pragma once
// Every fake wired together as the main window's controls, with both timers
// running as they are when the window is created.

#include "state/session_state.h"
#include "tests/fakes/fake_player.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_surface.h"
#include "tests/fakes/fake_table.h"
#include "tests/fakes/fake_timer.h"
#include "toolkit/main_controls.h"

namespace kelvane::testing {

struct FakeMainWindow {
  Recorder log;
  FakeShell shell{log};
  FakeSurface surface{log};
  FakePlayer player{log};
  FakeTable table{log};
  FakeFileDialog dialog{log};
  FakeTimer timer2{log, "Timer2", true};
  MainControls controls{shell, surface, player, table, dialog, timer2};
  SessionState state;
};

}  // namespace kelvane::testing
