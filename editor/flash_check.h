#pragma once
// The flash check of a session's first seconds, as `ambrel check` measures a
// file: the document is saved to a table of its own and played headless.
// Runs on any one thread at a time per call; it writes only in a temporary
// directory that it removes.

#include <string>
#include <vector>

#include "editor/session_document.h"
#include "render/flash_report.h"

namespace kelvane {

inline constexpr double kEditorFlashSeconds = 5;

struct FlashCheckResult {
  bool checked = false;  // false: error says why the session could not be played
  FlashReport report;
  std::string error;
};

FlashCheckResult CheckFlashes(const SessionDocument& document, double seconds = kEditorFlashSeconds);

// One line for the window: "PASS ..." or "FAIL ..." with the worst second's
// flashes and share of the field, or why there is no verdict.
std::string FlashVerdictText(const FlashCheckResult& result);

}  // namespace kelvane
