#pragma once
// The MIDI file to listen to: a fresh template for the rows in question,
// patched with the notes and instrument by the program's own patchers, in a
// directory of the editor's; the user's templates are never touched.

#include <optional>
#include <string>

#include "editor/session_document.h"

namespace kelvane {

// Writes <dataDirectory>/Audio_Information/SEQ_<n>X.MID for `count` rows
// from `first` (0-based), and returns its path. A DocumentError when it
// cannot be written or there are no such rows.
std::string WriteListeningSequence(const SessionDocument& document, int first, int count,
                                   const std::string& dataDirectory);

// The note sounding `seconds` after such a file started: its row (0-based,
// counted from the file's first) and note (0..12); nullopt between notes
// and after the last.
struct SoundingNote {
  int row;
  int note;
  friend bool operator==(const SoundingNote&, const SoundingNote&) = default;
};
std::optional<SoundingNote> NoteSoundingAt(double seconds, int rows);

}  // namespace kelvane
