#include "sound/note_rows.h"

namespace kelvane {

void DecodeNoteRows(SessionState&, Shell&) {}

}  // namespace kelvane
