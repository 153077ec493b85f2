#pragma once
// `ambrel check SESSION.db`: renders the session's pictures as the window
// would show them and measures them against the flash thresholds.

#include <string>

#include "tools/ambrel_options.h"

namespace kelvane {

// Prints the report; returns 0 when the session passes, 1 when it fails.
// Throws std::runtime_error when the session cannot be rendered.
int CheckSession(const std::string& path, const AmbrelOptions& options);

}  // namespace kelvane
