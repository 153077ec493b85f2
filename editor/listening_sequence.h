#pragma once
// The MIDI file to listen to: a fresh template for the rows in question,
// patched with the notes and instrument by the program's own patchers, in a
// directory of the editor's; the user's templates are never touched.

#include <optional>
#include <string>

#include "editor/session_document.h"

namespace kelvane {

// Writes <dataDirectory>/Audio_Information/SEQ_<n>X.MID for the whole session
// (row empty) or for one row (0-based), and returns its path. A DocumentError
// when it cannot be written or there is no row to play.
std::string WriteListeningSequence(const SessionDocument& document, std::optional<int> row,
                                   const std::string& dataDirectory);

}  // namespace kelvane
