// The worst share of the field a session flashes over, one way of showing
// it at a time: every tick rate from FIRST to LAST in STEP, from one pulse
// start, on every core, one line a rate ("rate general-share general-flashes
// red-share red-flashes"). How the flash check's rates and margin were chosen:
//   flash_rate_study SESSION.db FIRST LAST STEP [SECONDS]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "render/flash_check.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fputs("usage: flash_rate_study SESSION.db FIRST LAST STEP [SECONDS]\n", stderr);
    return 2;
  }
  kelvane::RenderOptions options;
  if (argc > 5) options.seconds = std::atof(argv[5]);
  const kelvane::OpenedSession opened = kelvane::HeadlessSession(argv[1], options).Opened();
  std::vector<double> rates;
  for (double r = std::atof(argv[2]); r <= std::atof(argv[3]) + 1e-9; r += std::atof(argv[4])) rates.push_back(r);
  std::atomic<std::size_t> next{0};
  std::mutex print;
  const auto work = [&] {
    for (std::size_t i; (i = next++) < rates.size();) {
      kelvane::FlashCheckOptions one;
      one.tickRate = rates[i];
      one.pulse = kelvane::PulseStart{1, true, 1, 0.05};
      one.threads = 1;
      const kelvane::FlashReport r = kelvane::CheckFlashes(opened, one).report;
      std::lock_guard lock(print);
      std::printf("%g %.4f %d %.4f %d\n", rates[i], r.light.share, r.light.flashes, r.red.share, r.red.flashes);
      std::fflush(stdout);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned c = 0; c < std::max(1u, std::thread::hardware_concurrency()); ++c) threads.emplace_back(work);
  for (auto& t : threads) t.join();
}
