#pragma once
// "&Open Ambrel": the only place where a session begins.

#include "state/session_state.h"
#include "toolkit/main_controls.h"

namespace kelvane {

// The FileType of a session; a table with any other is refused.
inline constexpr char kAmbrelFileType[] = "Ambr";

void OpenAmbrelMenuClick(SessionState& s, MainControls& c);

}  // namespace kelvane
