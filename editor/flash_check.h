#pragma once
// The flash check of a session's first seconds, as `ambrel check` measures a
// file: the document is played headless from the record Save would write,
// without writing it. Texts a file cannot hold are left out of that record:
// they change nothing that is shown. Runs on any thread; it writes only in a
// temporary directory that it removes.

#include <atomic>
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

// A check stops soon after `cancel` becomes true, with no verdict.
FlashCheckResult CheckFlashes(const SessionDocument& document, double seconds = kEditorFlashSeconds,
                              const std::atomic<bool>* cancel = nullptr);

// "worst second at 0:03.0: 19 flashes over 33% of the field", after a name.
std::string FlashRuleText(const char* rule, const FlashRuleResult& r);

// One line for the window: "PASS ..." or "FAIL ..." with the worst second's
// flashes and share of the field, or why there is no verdict.
std::string FlashVerdictText(const FlashCheckResult& result);

}  // namespace kelvane
