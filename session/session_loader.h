#pragma once
// "&Open Ambrel": the only place where a session begins.

#include "app/toolkit/main_controls.h"
#include "session/session_state.h"

namespace kelvane {

void OpenAmbrelMenuClick(SessionState& s, MainControls& c);

}  // namespace kelvane
