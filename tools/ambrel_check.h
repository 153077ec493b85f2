#pragma once
// `ambrel check FILE`: a session's pictures as the window would show them,
// every way it may show them, or any video's, measured against the flash
// thresholds.

#include "tools/ambrel_options.h"

namespace kelvane {

// Prints the report (and writes the CSV and the plot if asked); returns 0
// when it passes, 1 when it fails. Throws std::runtime_error when the file
// cannot be played.
int CheckFile(const AmbrelCommand& command);

}  // namespace kelvane
