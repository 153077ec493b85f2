// Exporting a rendered session, in multiples of real time: the sound alone
// (WAV, FLAC) and videos of the usual 606 x 456 picture (a 600 x 450 area
// with its 3-pixel frame) at 60 frames a second with their sound (MP4,
// WebM), which keep every pixel's colour. MP4 needs at least 2x on two
// cores, sound files far more; VP9 stays near real time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "render/export.h"

namespace {

constexpr int kRate = 44100;
constexpr int kWidth = 606, kHeight = 456;
constexpr int kFps = 60;
constexpr int kBlock = kRate / kFps;  // the sound of one picture

using Pixels = std::vector<std::uint32_t>;

// A tunnel of saturated colours moving inwards, its colours stepping every
// few pictures: about the hardest thing a session shows an encoder.
Pixels Tunnel(int index) {
  static constexpr std::array<std::uint32_t, 7> kPalette = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
                                                            0xFFFFFFFF, 0xFF000000, 0xFFFF00FF};
  Pixels pixels(static_cast<std::size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int edge = std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y));
      const auto ring = static_cast<std::size_t>((edge - 3 + 2 * index) / 12 + index / 3);
      pixels[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)] =
          edge < 3 ? 0xFFC82828 : kPalette[ring % kPalette.size()];
    }
  return pixels;
}

// One second of a session, made once, so that the exporter alone is timed.
struct Second {
  std::vector<Pixels> pictures;
  std::vector<float> left, right;
};

const Second& OneSecond() {
  static const Second second = [] {
    Second s;
    for (int i = 0; i < kFps; ++i) s.pictures.push_back(Tunnel(i));
    for (int i = 0; i < kRate; ++i) {
      const double t = static_cast<double>(i) / kRate;
      s.left.push_back(static_cast<float>(0.4 * std::sin(2 * std::numbers::pi * 220 * t)));
      s.right.push_back(static_cast<float>(0.4 * std::sin(2 * std::numbers::pi * 330 * t)));
    }
    return s;
  }();
  return second;
}

// As the renderer hands it over: one picture's worth of sound, then the picture.
void ExportSession(const std::string& path, int seconds) {
  const Second& second = OneSecond();
  kelvane::ExportSettings settings;
  settings.width = kWidth, settings.height = kHeight, settings.fps = kFps;
  std::unique_ptr<kelvane::Exporter> exporter = kelvane::OpenExporter(path, settings);
  for (int s = 0; s < seconds; ++s)
    for (int i = 0; i < kFps; ++i) {
      const std::size_t at = static_cast<std::size_t>(i) * kBlock;
      exporter->AddAudio(&second.left[at], &second.right[at], kBlock);
      if (exporter->WantsFrames())
        exporter->AddFrame(
            kelvane::Frame{second.pictures[static_cast<std::size_t>(i)].data(), kWidth, kHeight, kWidth});
    }
  exporter->Finish();
}

void BM_Export(benchmark::State& state, const std::string& name, int seconds) {
  OneSecond();
  const std::string path =
      (std::filesystem::temp_directory_path() / ("kelvane-export-bench-" + std::to_string(getpid()) + "-" + name))
          .string();
  double wall = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    ExportSession(path, seconds);
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["x_realtime"] = static_cast<double>(seconds) * static_cast<double>(state.iterations()) / wall;
  state.counters["MB_per_minute"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6 * 60 / seconds;
  std::filesystem::remove(path);
}

BENCHMARK_CAPTURE(BM_Export, wav, std::string("session.wav"), 600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export, flac, std::string("session.flac"), 600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export, mp4, std::string("session.mp4"), 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_Export, webm, std::string("session.webm"), 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
