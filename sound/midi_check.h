#pragma once
// A bounds-checked walk over a Standard MIDI File, run before the bytes reach
// the synthesizer: FluidSynth accepts junk when a file is queued and only
// fails while playing, when nothing can report it any more.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvane {

struct ProgramChange {
  int channel = 0;
  int program = 0;
};

// Throws std::runtime_error saying what is wrong when the bytes are not a
// Standard MIDI File that the synthesizer's player can play to its end;
// otherwise returns the file's program changes, in the order of its tracks.
std::vector<ProgramChange> CheckStandardMidiFile(std::span<const std::uint8_t> bytes);

struct SequenceBytes {
  std::vector<std::uint8_t> bytes;
  std::vector<ProgramChange> programs;
};

// The whole file, checked as above; throws std::runtime_error
// "Cannot open sequence file <path>: <why>" when it is missing, unreadable,
// larger than any sequence file (1 MiB) or not a MIDI file.
SequenceBytes ReadSequenceFile(const std::string& path);

}  // namespace kelvane
