#pragma once
// The pulse oscillator that makes the tunnel breathe: Timer3, every 50 ms.

#include "state/session_state.h"

namespace kelvane {

void Timer3Timer(SessionState& s);

}  // namespace kelvane
