#pragma once
// Playback by cycles, and the transport commands Pause/RESUME and Stop.

#include "state/session_state.h"
#include "toolkit/main_controls.h"

namespace kelvane {

// The note rows of the template a session plays: its count of rows, with 1
// for counts below 1 (SEQ_1X.MID, or SEQ_1.MID, the same) and 30 above 30
// (the decoder stops at the last row, SEQ_30X.MID).
int PlayedRows(const SessionState& s);

void StartPlayback(SessionState& s, MainControls& c);
void MediaPlayer1Notify(SessionState& s, MainControls& c);
void PauseMenuClick(SessionState& s, MainControls& c);
void StopMenuClick(SessionState& s, MainControls& c);

}  // namespace kelvane
