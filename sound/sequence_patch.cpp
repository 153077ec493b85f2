#include "sound/sequence_patch.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "sound/note_keys.h"
#include "state/paths.h"

namespace kelvane {
namespace {

// Middle C where a run starts with a code that has no key of its own.
constexpr std::uint8_t kFirstKeyFallback = 60;
constexpr long kInstrumentOffset = 55;

std::FILE* OpenSequenceFile(const SessionState& s) {
  const std::string path = HostPath(std::string(kAudioDirectory) + s.sequenceFileName);
  // Read and write, never create and never truncate: the template must exist.
  return std::fopen(path.c_str(), "r+b");
}

long NoteKeyOffset(int row, int position) { return 105L * row + 8L * position - 32; }

void PutByteAt(std::FILE* file, long offset, int value) {
  std::fseek(file, offset, SEEK_SET);
  std::fputc(value, file);
}

}  // namespace

void PatchSequenceNotes(SessionState& s, Shell& shell) {
  std::FILE* file = OpenSequenceFile(s);
  if (file == nullptr) {
    shell.ShowErrorMessage("Can't Open File!");
    return;
  }
  std::uint8_t key = kFirstKeyFallback;
  const int rows = std::min(s.itemCount, kMaxItems);
  for (int i = 1; i <= rows; ++i) {
    for (int j = 0; j < kNotesPerItem; ++j) {
      const std::int32_t code = s.NoteGrid[i][j];
      // An unknown code repeats the key before it, across rows too.
      if (IsNoteCode(code)) key = NoteKeyTable[static_cast<std::size_t>(code)];
      PutByteAt(file, NoteKeyOffset(i, j), key);
      PutByteAt(file, NoteKeyOffset(i, j) + 4, key);
    }
  }
  std::fclose(file);
}

void PatchSequenceInstrument(SessionState& s, Shell& shell) {
  if (s.itemCount == 0) {
    shell.ShowErrorMessage("File Error!");
    return;
  }
  if (s.sequenceFileName.empty()) return;
  std::FILE* file = OpenSequenceFile(s);
  if (file == nullptr) {
    shell.ShowErrorMessage("Can't Open File!");
    return;
  }
  // A program byte of 0x80 or more would read as a status byte and break the
  // track, so numbers outside the MIDI range fall back to program 0.
  const bool valid = s.instrumentNumber >= 0 && s.instrumentNumber <= 127;
  PutByteAt(file, kInstrumentOffset, valid ? s.instrumentNumber : 0);
  std::fclose(file);
}

}  // namespace kelvane
