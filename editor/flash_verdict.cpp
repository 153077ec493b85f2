#include "editor/flash_verdict.h"

#include <algorithm>

#include "editor/flash_check.h"

namespace kelvane {

// Today: the first seconds at the tunnel timer's own rate, as `ambrel check
// --seconds 5` measures them.
FlashVerdict VerdictOf(const SessionDocument& document, const std::atomic<bool>* cancel) {
  const FlashCheckResult result = CheckFlashes(document, kEditorFlashSeconds, cancel);
  FlashVerdict verdict;
  verdict.checked = result.checked;
  verdict.error = result.error;
  verdict.passes = result.checked && result.report.Passes();
  verdict.share = std::max(result.report.light.share, result.report.red.share);
  verdict.text = FlashVerdictText(result);
  return verdict;
}

std::string VerdictScope() {
  return "The first " + std::to_string(static_cast<int>(kEditorFlashSeconds)) +
         " s, as ambrel check --seconds " + std::to_string(static_cast<int>(kEditorFlashSeconds)) + " measures them.";
}

}  // namespace kelvane
