// A whole `ambrel render` of a session with a 600 x 450 area (Density 3,
// Form 2, the tunnel at 1000 ticks a second), in multiples of real time and
// megabytes a minute: the sound alone (WAV, FLAC, two minutes of it) and
// videos at 60 frames a second (MP4, WebM, 20 s), which keep every pixel's
// colour. Targets on two cores: 20x for sound, 2x for MP4; WebM's VP9
// encoder stays near real time on the tunnel's detail.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "render/export.h"
#include "render/session_renderer.h"
#include "session/ambrel_json.h"
#include "state/temporary_directory.h"

namespace {

namespace fs = std::filesystem;

const std::string& SessionFile() {
  static const kelvane::TemporaryDirectory dir("kelvane-render-bench");
  static const std::string path = [] {
    const kelvane::AmbrelTable t = kelvane::AmbrelFromJson(R"({"ColorR": 200, "ColorG": 40, "ColorB": 40,
      "Density": 3, "Form": 2, "Cycles": 30, "AreaX1": 100, "AreaY1": 60, "AreaX2": 700, "AreaY2": 510,
      "Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13], [13,12,11,10,9,8,7,6,5,4,3,2,1]]})");
    const std::string file = (dir.Path() / "bench.db").string();
    kelvane::WritePxlibTable(file, t.columns, {t.row});
    return file;
  }();
  return path;
}

class Exporting : public kelvane::RenderSink {
 public:
  explicit Exporting(kelvane::Exporter& e) : e_(e) {}
  void Sound(const float* l, const float* r, int frames) override { e_.AddAudio(l, r, frames); }
  void Picture(const kelvane::Frame& f) override { e_.AddFrame(f); }

 private:
  kelvane::Exporter& e_;
};

void Render(benchmark::State& state, const char* extension, double seconds) {
  const std::string out = (fs::temp_directory_path() / ("kelvane-render-bench" + std::string(extension))).string();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    kelvane::RenderOptions options;
    options.seconds = seconds;
    options.pictures = *kelvane::ExportKindOf(out) == kelvane::ExportKind::Mp4 ||
                       *kelvane::ExportKindOf(out) == kelvane::ExportKind::WebM;
    kelvane::HeadlessSession session(SessionFile(), options);
    const auto exporter = kelvane::OpenExporter(out, {kelvane::HeadlessSession::kSampleRate, session.Width(), session.Height(), 60});
    Exporting sink(*exporter);
    session.Run(sink);
    exporter->Finish();
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    state.counters["x_real_time"] = seconds / took;
    state.counters["MB_a_minute"] = static_cast<double>(fs::file_size(out)) / 1e6 * 60 / seconds;
  }
  fs::remove(out);
}

}  // namespace

BENCHMARK_CAPTURE(Render, wav, ".wav", 120)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Render, flac, ".flac", 120)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Render, mp4, ".mp4", 20)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Render, webm, ".webm", 20)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
