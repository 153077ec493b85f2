#pragma once
// Where the General MIDI SoundFont that the synthesizer plays with is found.

#include <string>
#include <vector>

namespace kelvane {

// The system's places, best first: the distribution's default General MIDI
// font, then FluidR3, then the small TimGM6mb that the program depends on.
const std::vector<std::string>& DefaultSoundFonts();

// The first of the candidates that exists; throws std::runtime_error naming
// the package to install when none does.
std::string FindSoundFont(const std::vector<std::string>& candidates = DefaultSoundFonts());

}  // namespace kelvane
