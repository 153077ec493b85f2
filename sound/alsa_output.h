#pragma once
// ALSA through FluidSynth's own driver: the fallback where no sound server
// answers.

#include <fluidsynth.h>

#include <memory>
#include <string>

#include "sound/audio_output.h"

namespace kelvane {

// Returns null when ALSA does not open; `failures` then says why, as
// "ALSA: reason".
std::unique_ptr<Output> OpenAlsaOutput(fluid_settings_t* settings, Renderer& renderer, std::string& failures);

}  // namespace kelvane
