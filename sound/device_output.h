#pragma once
// The first FluidSynth audio driver that opens on this machine.

#include <fluidsynth.h>

#include <memory>
#include <string>

#include "sound/audio_output.h"

namespace kelvane {

// Tries PulseAudio (which PipeWire also serves), then ALSA. Returns null when
// none opens; `failures` then says why, one "name: reason" per driver.
// FluidSynth does not fall back from one driver to the next by itself.
std::unique_ptr<Output> OpenDeviceOutput(fluid_settings_t* settings, Renderer& renderer, std::string& failures);

}  // namespace kelvane
