#include "editor/flash_check.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/cell_table.h"
#include "editor/document_json.h"
#include "editor/document_problems.h"
#include "render/flash_check.h"
#include "render/session_renderer.h"

namespace kelvane {

std::string FlashRuleText(const char* rule, const FlashRuleResult& r) {
  char text[160];
  std::snprintf(text, sizeof text, "%s at %d:%04.1f: %d flashes over %.0f%% of the field", rule,
                static_cast<int>(r.worstSecond / 60), std::fmod(r.worstSecond, 60.0), r.flashes, r.share * 100);
  return text;
}

namespace {

// The document as far as a file can hold it: a text it cannot hold is left
// out, which changes nothing the window shows.
SessionDocument Showable(SessionDocument d) {
  for (std::string* text : {&d.sessionName, &d.comment, &d.instrumentName, &d.image})
    if (!CharactersNotHeld(*text).empty() || QString::fromStdString(*text).size() > kMaxTextLength) text->clear();
  for (NoteRow& row : d.rows)
    if (!CharactersNotHeld(row.label).empty() || QString::fromStdString(row.label).size() > kRowLabelLength)
      row.label.clear();
  return d;
}

}  // namespace

FlashCheckResult CheckFlashes(const SessionDocument& document, double seconds, const std::atomic<bool>* cancel) {
  FlashCheckResult result;
  try {
    RenderOptions options;
    options.seconds = seconds;
    // The renderer names the file the dialog would have chosen; there is none.
    const OpenedSession opened =
        HeadlessSession(std::make_unique<CellTable>(AmbrelTableOf(Showable(document))), "the session", options).Opened();
    FlashCheckOptions every;
    every.stop = cancel;
    result.report = kelvane::CheckFlashes(opened, every).report;
    result.checked = true;
  } catch (const FlashCheckStopped&) {
    result.error = "the check was stopped";
  } catch (const std::exception& error) {
    result.error = error.what();
  }
  return result;
}

std::string FlashVerdictText(const FlashCheckResult& result) {
  if (!result.checked) return "No flash check: " + result.error;
  const FlashReport& r = result.report;
  // The rule that decides: a failing one, else the one nearer to failing.
  const bool redWorse = r.red.fails && !r.light.fails;
  const std::string worst = redWorse ? FlashRuleText("red flashes, worst second", r.red) : FlashRuleText("worst second", r.light);
  return (r.Passes() ? "PASS (first " : "FAIL (first ") + std::to_string(static_cast<int>(r.frames / std::max(r.fps, 1.0))) +
         " s): " + worst;
}

}  // namespace kelvane
