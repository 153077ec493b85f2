#pragma once
// The main window's own handlers, as procedures over the session state, so
// they run the same on the real window and on the test fakes.

#include "state/session_state.h"
#include "toolkit/main_controls.h"

namespace kelvane {

void FormActivate(SessionState& s, MainControls& c);
void FormClose(SessionState& s, MainControls& c);
void ExitClick1(SessionState& s, MainControls& c);
void AboutMenuClick(SessionState& s, MainControls& c);
void LicenseMenuClick(SessionState& s, MainControls& c);
// The paint handler draws nothing but the area frame.
void FormPaint(SessionState& s, MainControls& c);

}  // namespace kelvane
