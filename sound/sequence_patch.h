#pragma once
// Writes the session's notes and instrument into its template MIDI file in place.

#include "state/session_state.h"
#include "toolkit/shell.h"

namespace kelvane {

void PatchSequenceNotes(SessionState& s, Shell& shell);
void PatchSequenceInstrument(SessionState& s, Shell& shell);

}  // namespace kelvane
