#include "editor/note_names.h"

#include <array>

#include "sound/note_keys.h"
#include "state/session_state.h"
#include "visual/color_arrays.h"

namespace kelvane {

std::string KeyName(int key) {
  static constexpr std::array<const char*, 12> kPitchClasses = {"C",  "C#", "D",  "D#", "E",  "F",
                                                                "F#", "G",  "G#", "A",  "A#", "B"};
  const int octave = key / 12 - 1;
  return std::string(kPitchClasses[static_cast<std::size_t>(key % 12)]) + std::to_string(octave);
}

std::string NoteName(std::int32_t code) {
  if (!IsEditorNoteCode(code)) return {};
  return KeyName(NoteKeyTable[static_cast<std::size_t>(code)]);
}

Color NoteColor(std::int32_t code) {
  // The palette as the program sets it, rather than a copy of its values.
  static const std::array<Color, kPaletteEntries> palette = [] {
    SessionState s;
    SeedTunnelColors(s);
    return s.NotePalette;
  }();
  return IsEditorNoteCode(code) ? palette[static_cast<std::size_t>(code)] : Color{0};
}

}  // namespace kelvane
