#include "sound/note_rows.h"

#include <algorithm>

#include "sound/note_keys.h"
#include "sound/sequence_patch.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

// Codes outside the palette show black rather than a colour read past it.
Color NoteColor(const SessionState& s, std::int32_t code) {
  return IsNoteCode(code) ? s.NotePalette[static_cast<std::size_t>(code)] : Color{0};
}

std::string SequenceFileNameOf(int item) { return "SEQ_" + IntToStr(item) + "X.MID"; }

}  // namespace

void DecodeNoteRows(SessionState& s, Shell& shell) {
  std::size_t entry = 0;
  std::size_t column = 0;
  // Counts above 30 are kept as read elsewhere, but there are only 30 rows.
  const int items = std::min(s.numSelItems, kMaxItems);
  for (int n = 1; n <= items; ++n) {
    for (std::size_t p = 1; p <= 25; p += 2) {
      // A pair that is no number throws here and ends the load with what
      // was decoded so far left in place.
      s.noteCode = StrToInt(Copy(s.itemRows[n], p, 2));
      s.sequenceFileName = SequenceFileNameOf(n);
      s.NoteGrid[n][column] = s.noteCode;
      column = (column + 1) % kNotesPerItem;
      s.ColorSequence()[entry] = NoteColor(s, s.noteCode);
      ++entry;
    }
  }
  PatchSequenceNotes(s, shell);
}

}  // namespace kelvane
