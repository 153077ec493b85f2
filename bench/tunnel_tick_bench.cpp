// One tunnel tick on the real Qt surface (offscreen), by area size, pen
// width and form. Reports the median and 99th percentile of single ticks.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "qt/qt_surface.h"
#include "visual/color_arrays.h"
#include "visual/pulse.h"
#include "visual/stimulus_area.h"
#include "visual/tunnel.h"

namespace {

using Clock = std::chrono::steady_clock;

// A session like the samples: one note row, the default pulse, an area
// centred in a 1280 x 800 client area.
void SetUpSession(kelvane::SessionState& s, kelvane::QtSurface& surface, int width, int height, int density,
                  int form) {
  kelvane::SeedTunnelColors(s);
  for (int n = 0; n < kelvane::kNotesPerItem; ++n) s.ColorSequence()[n] = s.NotePalette[1 + n % 13];
  s.colorSequenceLength = kelvane::kNotesPerItem;
  s.areaX1 = (1280 - width) / 2, s.areaY1 = (800 - height) / 2;
  s.areaX2 = s.areaX1 + width, s.areaY2 = s.areaY1 + height;
  s.colorR = 200, s.colorG = 40, s.colorB = 40;
  s.density = density;
  s.form = form;
  surface.onPaint = [&] { kelvane::DrawAreaFrame(s, surface); };
  kelvane::SetUpStimulusArea(s, surface);
}

double Percentile(std::vector<double>& v, double q) {
  if (v.empty()) return 0;
  const auto at = v.begin() + static_cast<std::ptrdiff_t>(q * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), at, v.end());
  return *at;
}

void BM_TunnelTick(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  kelvane::QtSurface surface;
  surface.resize(1280, 800);
  surface.show();
  kelvane::SessionState s;
  SetUpSession(s, surface, width, height, static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
  std::vector<double> micros;
  micros.reserve(1 << 20);
  // The pulse moves the divisor every 50 ticks, as Timer3 does at 1 ms ticks;
  // moved every tick, no outline is ever drawn twice.
  const long ticksPerPulse = state.range(4);
  long ticks = 0;
  for (auto _ : state) {
    if (++ticks % ticksPerPulse == 0) kelvane::Timer3Timer(s);
    const auto start = Clock::now();
    kelvane::Timer2Timer(s, surface);
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  state.counters["median_us"] = Percentile(micros, 0.5);
  state.counters["p99_us"] = Percentile(micros, 0.99);
}

void TickArguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"w", "h", "density", "form", "pulse"});
  for (const auto& [w, h] : {std::pair{300, 300}, std::pair{600, 450}, std::pair{1000, 700}})
    for (const int density : {1, 2, 5})
      for (const int form : {1, 2}) b->Args({w, h, density, form, 50});
  // The widest pen drawn (wider ones are capped to it).
  b->Args({600, 450, 16, 2, 50});
  // New outlines at every tick: the cost of a tick right after a pulse step.
  for (const int density : {1, 2, 5}) b->Args({600, 450, density, 2, 1});
}
BENCHMARK(BM_TunnelTick)->Apply(TickArguments)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
