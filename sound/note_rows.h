#pragma once
// Decoding of the note rows into NoteGrid, ColorSequence and the sequence file name.

#include "state/session_state.h"
#include "toolkit/shell.h"

namespace kelvane {

// Ends by patching the notes into the sequence file; a pair that is not a
// number raises ConversionError and ends the load there.
void DecodeNoteRows(SessionState& s, Shell& shell);

}  // namespace kelvane
