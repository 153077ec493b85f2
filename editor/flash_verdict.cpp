#include "editor/flash_verdict.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/flash_check.h"

namespace kelvane {

// The first seconds, every way a window may show them, as `ambrel check
// --seconds 5` measures them.
FlashVerdict VerdictOf(const SessionDocument& document, const std::atomic<bool>* cancel) {
  const FlashCheckResult result = CheckFlashes(document, kEditorFlashSeconds, cancel);
  FlashVerdict verdict;
  verdict.checked = result.checked;
  verdict.error = result.error;
  verdict.passes = result.checked && result.report.Passes();
  verdict.share = std::max(result.report.light.share, result.report.red.share);
  verdict.text = FlashVerdictText(result);
  verdict.report = result.report;
  return verdict;
}

std::string VerdictScope() {
  return "The first " + std::to_string(static_cast<int>(kEditorFlashSeconds)) +
         " s at every tick rate and from every opening moment, as ambrel check --seconds " +
         std::to_string(static_cast<int>(kEditorFlashSeconds)) + " measures them.";
}

std::string VerdictDetail(const FlashVerdict& v) {
  if (!v.checked) return VerdictScope();
  const FlashReport& r = v.report;
  char field[200];
  std::snprintf(field, sizeof field,
                "Field: %d x %d pixels, 10 degrees of view on a 1024 x 768 screen; a session passes at %.0f%% or less.",
                r.fieldWidth, r.fieldHeight, r.mostShare * 100);
  return FlashRuleText("General flash, worst second", r.light) + ".\n" +
         FlashRuleText("Red flash, worst second", r.red) + ".\n" +
         (r.worstCase.empty() ? std::string() : "Worst at " + r.worstCase + ".\n") + field;
}

}  // namespace kelvane
