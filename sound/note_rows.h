#pragma once
// Decoding of the note rows into NoteGrid, ColorSequence and the sequence file name.

#include "app/toolkit/shell.h"
#include "session/session_state.h"

namespace kelvane {

// Ends by patching the notes into the sequence file; a pair that is not a
// number raises ConversionError and ends the load there.
void DecodeNoteRows(SessionState& s, Shell& shell);

}  // namespace kelvane
