#pragma once
// Playback by cycles, and the transport commands Pause/RESUME and Stop.

#include "app/toolkit/main_controls.h"
#include "session/session_state.h"

namespace kelvane {

void StartPlayback(SessionState& s, MainControls& c);
void MediaPlayer1Notify(SessionState& s, MainControls& c);
void PauseMenuClick(SessionState& s, MainControls& c);
void StopMenuClick(SessionState& s, MainControls& c);

}  // namespace kelvane
