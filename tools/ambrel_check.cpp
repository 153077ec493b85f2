#include "tools/ambrel_check.h"

#include <cstdio>
#include <fstream>

#include "render/flash_check.h"
#include "render/flash_report.h"
#include "toolkit/text.h"
#include "tools/progress_bar.h"

namespace kelvane {
namespace {

FlashReport CheckSession(const AmbrelCommand& c) {
  RenderOptions options = c.render;
  options.pictures = true;
  HeadlessSession session(c.files[0], options);
  for (const std::string& message : session.Messages())
    std::fprintf(stderr, "ambrel: the program would show \"%s\"\n", message.c_str());
  const OpenedSession opened = session.Opened();
  ProgressBar bar("checking", opened.seconds);
  return CheckFlashes(opened, c.check, [&](double done) { bar.Show(done); }).report;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("Cannot write " + path);
}

}  // namespace

int CheckFile(const AmbrelCommand& c) {
  const FlashReport report = CheckSession(c);
  const std::string name = ExtractFileName(c.files[0]);
  std::string text = c.json ? FlashReportJson(report, name) : FlashReportText(report, name);
  if (!text.empty() && text.back() != '\n') text += '\n';
  std::fputs(text.c_str(), stdout);
  if (!c.csv.empty()) WriteText(c.csv, FlashReportCsv(report));
  return report.Passes() ? 0 : 1;
}

}  // namespace kelvane
