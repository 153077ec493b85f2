#pragma once
// The parts of the main window that the session procedures work with.

#include "toolkit/media_player.h"
#include "toolkit/shell.h"
#include "toolkit/surface.h"
#include "toolkit/table.h"
#include "toolkit/timer.h"

namespace kelvane {

struct MainControls {
  Shell& shell;
  Surface& surface;
  MediaPlayer& player;  // MediaPlayer1
  Table& table;         // the session table
  FileDialog& dialog;   // OpenDialogDB1
  Timer& timer2;        // tunnel tick, every 1 ms; the pulse timer is never switched
};

}  // namespace kelvane
