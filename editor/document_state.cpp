#include "editor/document_state.h"

#include <algorithm>

#include "editor/note_names.h"

namespace kelvane {

void ApplyDocument(const SessionDocument& d, SessionState& s) {
  s.instrumentName = d.instrumentName;
  s.instrumentNumber = d.instrumentNumber;
  s.colorR = d.colorR, s.colorG = d.colorG, s.colorB = d.colorB;
  s.pulseFreq = d.pulseFreq;
  s.pulsePhase = d.pulsePhase;
  s.geoVertical = d.geoVertical;
  s.geoHorizontal = d.geoHorizontal;
  s.density = d.density;
  s.form = d.form;
  s.cycles = d.cycles;
  const int rows = std::min(static_cast<int>(d.rows.size()), kMaxItems);
  s.numSelItems = s.itemCount = rows;
  s.colorSequenceLength = std::int64_t{kNotesPerItem} * rows;
  s.sequenceFileName = "SEQ_" + std::to_string(std::max(rows, 1)) + "X.MID";
  auto sequence = s.ColorSequence();
  std::fill(sequence.begin(), sequence.end(), s.NotePalette[7]);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < kNotesPerItem; ++j) {
      const std::int32_t code = d.rows[static_cast<std::size_t>(i)].codes[static_cast<std::size_t>(j)];
      s.NoteGrid[static_cast<std::size_t>(i + 1)][static_cast<std::size_t>(j)] = code;
      sequence[static_cast<std::size_t>(i * kNotesPerItem + j)] = NoteColor(code);
    }
  }
}

}  // namespace kelvane
