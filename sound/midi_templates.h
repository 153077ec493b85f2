#pragma once
// The template MIDI files the sessions are patched into: a Standard MIDI File
// per number of rows, laid out so that every fixed patch offset lands on the
// byte it means (program at 55, note keys at 105 i + 8 j - 32 and 4 later).

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

// The timing every template is written with: 200 ticks a quarter note, a
// quarter note of 500 ms (400 ticks a second), each row 1600 ticks (4 s).
inline constexpr int kTemplateTicksPerQuarter = 200;
inline constexpr int kTemplateQuarterMicroseconds = 500000;
inline constexpr int kTemplateRowTicks = 1600;
// When the notes sound: note j of row i (from 0) starts at i x 4 s +
// j x 0.285 s and lasts 0.25 s.
inline constexpr double kTemplateRowSeconds = 4.0;
inline constexpr double kTemplateNoteStepSeconds = 0.285;
inline constexpr double kTemplateNoteSeconds = 0.25;

// The bytes of the template for rows 1..30 note rows: 105 x rows + 75 bytes,
// 4 seconds a row. Other row counts raise std::invalid_argument.
std::vector<std::uint8_t> SequenceTemplate(int rows);

// Writes SEQ_1X.MID .. SEQ_30X.MID and SEQ_1.MID into the directory (made if
// needed) where they are missing. A present file, in any letter case, is kept:
// it holds the last session's patches. Raises std::runtime_error when a file
// cannot be written.
void WriteMissingTemplates(const std::string& audioDirectoryHostPath);

}  // namespace kelvane
