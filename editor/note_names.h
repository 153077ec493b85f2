#pragma once
// How a note code looks and sounds in the editor: the key it plays, named by
// pitch class and octave (middle C is C4), and its colour in the tunnel.

#include <cstdint>
#include <string>

#include "toolkit/geometry.h"

namespace kelvane {

inline constexpr std::int32_t kLowestNoteCode = 0;
inline constexpr std::int32_t kHighestNoteCode = 13;

inline constexpr bool IsEditorNoteCode(std::int32_t code) {
  return code >= kLowestNoteCode && code <= kHighestNoteCode;
}

// "C4", "D#4", ... for codes 0..13 (0 plays like 1); empty for other codes.
std::string NoteName(std::int32_t code);
// The MIDI key's name: C4 is key 60, sharps rather than flats.
std::string KeyName(int key);
// The palette colour the tunnel shows for the code (0x00BBGGRR); black for
// code 0 and for codes that are not notes.
Color NoteColor(std::int32_t code);

}  // namespace kelvane
