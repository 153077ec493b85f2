#pragma once
// Writes the session's notes and instrument into its template MIDI file in place.

#include "app/toolkit/shell.h"
#include "session/session_state.h"

namespace kelvane {

void PatchSequenceNotes(SessionState& s, Shell& shell);
void PatchSequenceInstrument(SessionState& s, Shell& shell);

}  // namespace kelvane
