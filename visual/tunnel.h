#pragma once
// The tunnel: 390 rotating, shrinking squares per Timer2 tick.

#include <cstdint>

#include "state/session_state.h"
#include "toolkit/surface.h"

namespace kelvane {

void Timer2Timer(SessionState& s, Surface& surface);
// The colour the next tick sends into the ring: the colour sequence's next
// entry, or a drift of the last colour once it is used up.
void ChooseInjectColor(SessionState& s);
void DrawTunnelSquare(const SessionState& s, Surface& surface, float scale, std::int32_t angle);
// The next injected colour once the sequence is used up.
Color DriftColor(SessionState& s, Color current);

}  // namespace kelvane
