#pragma once
// The program's session state as Open would leave it for this document, so
// the preview and the listening copy run the program's own procedures on it.

#include "editor/session_document.h"
#include "state/session_state.h"

namespace kelvane {

// Sets the parameters, the note rows (NoteGrid, the item count, the sequence
// file name) and the colour sequence; the area and the ring are left alone.
// The palette must have been seeded.
void ApplyDocument(const SessionDocument& document, SessionState& s);

}  // namespace kelvane
