#include "tools/ambrel_check.h"

#include <QGuiApplication>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "qt/flash_plot.h"
#include "render/flash_analyser.h"
#include "render/flash_check.h"
#include "render/flash_report.h"
#include "render/video_frames.h"
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

// A video seen full screen: its 10-degree field is a third of it each way.
FlashReport CheckVideo(const AmbrelCommand& c) {
  VideoFrames video(c.files[0]);
  FlashRules rules{video.Fps(), c.check.fieldWidth, c.check.fieldHeight};
  if (!c.fieldGiven)
    rules.fieldWidth = std::max(1, video.Width() / 3), rules.fieldHeight = std::max(1, video.Height() / 3);
  FlashAnalyser analyser(video.Width(), video.Height(), rules);
  const double most = c.render.seconds ? *c.render.seconds * video.Fps() : 1e18;
  Frame frame;
  for (int n = 0; n < most && video.Next(frame); ++n) analyser.AddFrame(frame);
  return analyser.Report();
}

// Sessions are Paradox tables, named .db; anything else is taken for a video.
bool IsSession(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return extension == ".db";
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("Cannot write " + path);
}

// The plot's text needs a GUI application; without a display, the offscreen one.
void WritePlot(const std::string& path, const FlashReport& report, const std::string& name) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char program[] = "ambrel";
  char* argv[] = {program, nullptr};
  QGuiApplication application(argc, argv);
  if (!FlashPlotImage(report, name).save(QString::fromStdString(path), "PNG"))
    throw std::runtime_error("Cannot write " + path);
}

}  // namespace

int CheckFile(const AmbrelCommand& c) {
  const FlashReport report = IsSession(c.files[0]) ? CheckSession(c) : CheckVideo(c);
  const std::string name = ExtractFileName(c.files[0]);
  std::string text = c.json ? FlashReportJson(report, name) : FlashReportText(report, name);
  if (!text.empty() && text.back() != '\n') text += '\n';
  std::fputs(text.c_str(), stdout);
  if (!c.csv.empty()) WriteText(c.csv, FlashReportCsv(report));
  if (!c.plot.empty()) WritePlot(c.plot, report, name);
  return report.Passes() ? 0 : 1;
}

}  // namespace kelvane
