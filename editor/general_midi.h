#pragma once
// The 128 General MIDI programs by name, for choosing a session's instrument.

#include <cstdint>
#include <string>

namespace kelvane {

inline constexpr int kGeneralMidiPrograms = 128;

// The General MIDI 1 name of program 0..127; empty for other numbers.
std::string GeneralMidiName(std::int32_t program);

}  // namespace kelvane
