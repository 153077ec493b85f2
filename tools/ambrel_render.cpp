#include "tools/ambrel_render.h"

#include <cstdio>

#include "render/export.h"
#include "tools/interrupt.h"
#include "tools/progress_bar.h"

namespace kelvane {
namespace {

class ExportingSink : public RenderSink {
 public:
  explicit ExportingSink(Exporter& exporter) : exporter_(exporter) {}
  void Sound(const float* left, const float* right, int frames) override { exporter_.AddAudio(left, right, frames); }
  void Picture(const Frame& frame) override { exporter_.AddFrame(frame); }

 private:
  Exporter& exporter_;
};

}  // namespace

void RenderSessionTo(const std::string& sessionPath, const std::string& outPath, RenderOptions options) {
  const ExportKind kind = RequireExportKind(outPath);
  options.pictures = kind == ExportKind::Mp4 || kind == ExportKind::WebM;
  HeadlessSession session(sessionPath, options);
  for (const std::string& message : session.Messages()) std::fprintf(stderr, "ambrel: the program would show \"%s\"\n", message.c_str());
  ExportSettings settings;
  settings.sampleRate = HeadlessSession::kSampleRate;
  settings.width = session.Width();
  settings.height = session.Height();
  settings.fps = options.fps;
  settings.soundFrames = session.SoundFrames();
  const auto exporter = OpenExporter(outPath, settings);
  ExportingSink sink(*exporter);
  // Unwinding from here removes the unfinished file, closed first.
  const std::string removed = "; removed the unfinished " + outPath;
  {
    ProgressBar bar("rendering", session.Seconds());
    session.Run(sink, [&](double done) {
      ThrowIfInterrupted(removed);
      bar.Show(done);
    });
  }
  ThrowIfInterrupted(removed);
  exporter->Finish();
}

}  // namespace kelvane
