#pragma once
// A bounds-checked walk over a Standard MIDI File, run before the bytes reach
// the synthesizer: FluidSynth accepts junk when a file is queued and only
// fails while playing, when nothing can report it any more.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvane {

// Throws std::runtime_error saying what is wrong when the bytes are not a
// Standard MIDI File that the synthesizer's player can play to its end.
void CheckStandardMidiFile(std::span<const std::uint8_t> bytes);

// The whole file, checked as above; throws std::runtime_error
// "Cannot open sequence file <path>: <why>" when it is missing, unreadable,
// larger than any sequence file (16 MiB) or not a MIDI file.
std::vector<std::uint8_t> ReadSequenceFile(const std::string& path);

}  // namespace kelvane
