#include "visual/stimulus_area.h"

namespace kelvane {

void SetUpStimulusArea(SessionState&, Surface&) {}
void DrawAreaFrame(SessionState&, Surface&) {}

}  // namespace kelvane
