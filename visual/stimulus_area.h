#pragma once
// The stimulus area: its corners, centre, three-pixel frame and clip.

#include "app/toolkit/surface.h"
#include "session/session_state.h"

namespace kelvane {

void SetUpStimulusArea(SessionState& s, Surface& surface);
// Frames the three rectangles around the area in the current brush colour.
void DrawAreaFrame(SessionState& s, Surface& surface);

}  // namespace kelvane
