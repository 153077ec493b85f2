// Frames a second the flash analyser takes in at 606 x 456 (a 600 x 450
// area inside its frame), beside rendering and encoding: it must stay far
// above the 60 a second a session shows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "render/flash_analyser.h"

namespace {

constexpr int kWidth = 606;
constexpr int kHeight = 456;
constexpr int kBorder = 3;
constexpr int kFrames = 30;  // distinct frames fed round and round

using Picture = std::vector<std::uint32_t>;

// Square rings of strong colours moving out one step a frame, like the
// tunnel: flat areas, and every cell flashing, so the field search always runs.
Picture Rings(int frame) {
  static const std::uint32_t palette[] = {0xFFFF0000, 0xFF000000, 0xFFFFFF00, 0xFF0000FF, 0xFFFFFFFF,
                                          0xFF00C000, 0xFFC02020, 0xFF202020, 0xFFFF8000, 0xFF8000FF};
  Picture p(kWidth * kHeight, 0xFF404040);
  for (int y = kBorder; y < kHeight - kBorder; ++y)
    for (int x = kBorder; x < kWidth - kBorder; ++x) {
      const int ring = std::max(std::abs(x - kWidth / 2), std::abs(y - kHeight / 2)) / 7;
      p[y * kWidth + x] = palette[(ring + 10 * 1000 - frame) % 10];
    }
  return p;
}

// Every pixel its own: the worst case for measuring light.
Picture Noise(int frame) {
  std::mt19937 random(frame);
  Picture p(kWidth * kHeight);
  for (auto& px : p) px = 0xFF000000u | (random() & 0xFFFFFF);
  return p;
}

void Analyse(benchmark::State& state, Picture (*make)(int)) {
  std::vector<Picture> frames;
  for (int f = 0; f < kFrames; ++f) frames.push_back(make(f));
  kelvane::FlashAnalyser analyser(kWidth, kHeight);
  std::size_t next = 0;
  for (auto _ : state) {
    analyser.AddFrame({frames[next].data(), kWidth, kHeight, kWidth});
    next = (next + 1) % frames.size();
  }
  benchmark::DoNotOptimize(analyser.Report());
  state.SetItemsProcessed(state.iterations());
}

void BM_FlashAnalyserRings(benchmark::State& state) { Analyse(state, Rings); }
void BM_FlashAnalyserNoise(benchmark::State& state) { Analyse(state, Noise); }

BENCHMARK(BM_FlashAnalyserRings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlashAnalyserNoise)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
