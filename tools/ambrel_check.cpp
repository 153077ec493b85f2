#include "tools/ambrel_check.h"

#include <cstdio>

#include "render/flash_analyser.h"
#include "render/flash_report.h"
#include "state/paths.h"
#include "toolkit/text.h"
#include "tools/progress_bar.h"

namespace kelvane {
namespace {

class AnalysingSink : public RenderSink {
 public:
  AnalysingSink(int width, int height, const FlashRules& rules) : analyser_(width, height, rules) {}
  void Sound(const float*, const float*, int) override {}
  void Picture(const Frame& frame) override { analyser_.AddFrame(frame); }
  FlashReport Report() const { return analyser_.Report(); }

 private:
  FlashAnalyser analyser_;
};

}  // namespace

int CheckSession(const std::string& path, const AmbrelOptions& options) {
  HeadlessSession session(path, options.render);
  for (const std::string& message : session.Messages()) std::fprintf(stderr, "ambrel: the program would show \"%s\"\n", message.c_str());
  FlashRules rules;
  rules.fps = options.render.fps;
  rules.fieldWidth = options.fieldWidth;
  rules.fieldHeight = options.fieldHeight;
  AnalysingSink sink(session.Width(), session.Height(), rules);
  {
    ProgressBar bar("checking", session.Seconds());
    session.Run(sink, [&](double done) { bar.Show(done); });
  }
  const FlashReport report = sink.Report();
  const std::string name = ExtractFileName(path);
  std::string text = options.json ? FlashReportJson(report, name) : FlashReportText(report, name);
  if (!text.empty() && text.back() != '\n') text += '\n';
  std::fputs(text.c_str(), stdout);
  return report.Passes() ? 0 : 1;
}

}  // namespace kelvane
