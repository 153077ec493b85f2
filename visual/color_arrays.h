#pragma once
// The colour arrays: the ring's random start ramp, the note palette, and the
// blackening of the colour sequence before a load.

#include "state/session_state.h"

namespace kelvane {

// Fills all 390 ring slots with a random ramp and sets NotePalette 1..13.
void SeedTunnelColors(SessionState& s);
// Every ColorSequence entry becomes NotePalette entry 7 (black), ring slot 389 too.
void ClearColorSequence(SessionState& s);

}  // namespace kelvane
