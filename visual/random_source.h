#pragma once
// The visual subsystem's one pseudo-random stream. Nothing else draws from it,
// and it is never seeded, so every run shows the same colours.

#include <cstdint>

#include "state/session_state.h"

namespace kelvane {

// A value in 0..range-1 (0 for a range below 1) from the next output of the stream.
std::int32_t Random(SessionState& s, std::int32_t range);

}  // namespace kelvane
