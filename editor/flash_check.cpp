#include "editor/flash_check.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/document_writer.h"
#include "render/flash_analyser.h"
#include "render/session_renderer.h"

namespace kelvane {
namespace {

class AnalysingSink : public RenderSink {
 public:
  AnalysingSink(int width, int height) : analyser_(width, height) {}
  void Sound(const float*, const float*, int) override {}
  void Picture(const Frame& frame) override { analyser_.AddFrame(frame); }
  FlashReport Report() const { return analyser_.Report(); }

 private:
  FlashAnalyser analyser_;
};

std::string RuleText(const char* rule, const FlashRuleResult& r) {
  char text[160];
  std::snprintf(text, sizeof text, "%s at %d:%04.1f: %d flashes over %.0f%% of the field", rule,
                static_cast<int>(r.worstSecond / 60), std::fmod(r.worstSecond, 60.0), r.flashes, r.share * 100);
  return text;
}

}  // namespace

FlashCheckResult CheckFlashes(const SessionDocument& document, double seconds) {
  FlashCheckResult result;
  QTemporaryDir dir;
  const std::string path = dir.filePath("flash-check.db").toStdString();
  try {
    if (!dir.isValid()) throw DocumentError("no temporary directory for the flash check");
    SaveAmbrelDocument(document, path);
    RenderOptions options;
    options.seconds = seconds;
    HeadlessSession session(path, options);
    AnalysingSink sink(session.Width(), session.Height());
    session.Run(sink);
    result.report = sink.Report();
    result.checked = true;
  } catch (const std::exception& error) {
    // The renderer names the file, which is the editor's own copy.
    result.error = error.what();
    for (auto at = result.error.find(path); at != std::string::npos; at = result.error.find(path))
      result.error.replace(at, path.size(), "the session");
  }
  return result;
}

std::string FlashVerdictText(const FlashCheckResult& result) {
  if (!result.checked) return "No flash check: " + result.error;
  const FlashReport& r = result.report;
  // The rule that decides: a failing one, else the one nearer to failing.
  const bool redWorse = r.red.fails && !r.light.fails;
  const std::string worst = redWorse ? RuleText("red flashes, worst second", r.red) : RuleText("worst second", r.light);
  return (r.Passes() ? "PASS (first " : "FAIL (first ") + std::to_string(static_cast<int>(r.frames / std::max(r.fps, 1.0))) +
         " s): " + worst;
}

}  // namespace kelvane
