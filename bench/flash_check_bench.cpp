// The default flash check of a 600 x 450 session (Density 3, Form 2), every
// way of showing it included, in multiples of real time on every core; and
// one way alone, for comparison. Target: at least 2x for the default check.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "render/flash_check.h"
#include "session/ambrel_json.h"
#include "state/temporary_directory.h"

namespace {

const kelvane::OpenedSession& Opened() {
  static const kelvane::TemporaryDirectory dir("kelvane-check-bench");
  static const kelvane::OpenedSession opened = [] {
    const kelvane::AmbrelTable t = kelvane::AmbrelFromJson(R"({"ColorR": 200, "ColorG": 40, "ColorB": 40,
      "PulseFreq": 1600, "Density": 3, "Form": 2, "Cycles": 2, "AreaX1": 100, "AreaY1": 60, "AreaX2": 700, "AreaY2": 510,
      "Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13], [13,12,11,10,9,8,7,6,5,4,3,2,1], [1,4,9,4,1,4,9,11,9,4,1,0,1]]})");
    const std::string file = (dir.Path() / "bench.db").string();
    kelvane::WritePxlibTable(file, t.columns, {t.row});
    return kelvane::HeadlessSession(file, {}).Opened();
  }();
  return opened;
}

void Check(benchmark::State& state, bool everyWay) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    kelvane::FlashCheckOptions options;
    if (!everyWay) options.tickRate = 1000, options.pulse = kelvane::PulseStart{};
    const kelvane::FlashCheck check = kelvane::CheckFlashes(Opened(), options);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    state.counters["x_real_time"] = Opened().seconds / took;
    state.counters["ways"] = check.ways;
  }
}

}  // namespace

BENCHMARK_CAPTURE(Check, every_way, true)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Check, one_way, false)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
