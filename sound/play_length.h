#pragma once
// Where a play of a template ends on FluidSynth's clock, which is not quite
// where its last tick falls: the synthesizer renders in steps of 64 frames
// and runs its sequence player once at the start of each step.

#include <cstdint>

namespace kelvane {

inline constexpr int kSynthStepFrames = 64;

// The first frame of the step in which FluidSynth's player reaches the last
// tick of the template for `rows` rows (1..30), counted from the step the
// play started in: where SynthEngine reports the end of the play.
std::int64_t PlayEndFrame(int rows, int sampleRate);

}  // namespace kelvane
