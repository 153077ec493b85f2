#pragma once
// The stimulus area: its corners, centre, three-pixel frame and clip.

#include "state/session_state.h"
#include "toolkit/surface.h"

namespace kelvane {

void SetUpStimulusArea(SessionState& s, Surface& surface);
// Frames the three rectangles around the area in the current brush colour.
void DrawAreaFrame(SessionState& s, Surface& surface);

}  // namespace kelvane
