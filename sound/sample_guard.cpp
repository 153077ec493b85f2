#include "sound/sample_guard.h"

#include <atomic>
#include <cmath>
#include <cstdio>

namespace kelvane {
namespace {

std::atomic<std::uint64_t> nonFiniteTotal{0};
std::atomic<std::uint64_t> clippedTotal{0};
std::atomic<bool> toldNonFinite{false};
std::atomic<bool> toldClipped{false};

// Half the smallest step of 24-bit sound. The reverb keeps a tiny offset
// against denormal numbers in its feedback (about 3e-8); below this it is
// no sound in any file format, and silence stays exactly silence.
constexpr float kBelowResolution = 1.0f / (1 << 24);

void TellOnce(std::atomic<bool>& told, const char* what, std::uint64_t count) {
  if (told.exchange(true)) return;
  std::fprintf(stderr, "kelvane: the synthesizer produced %s (%llu so far); they were mended before output\n", what,
               static_cast<unsigned long long>(count));
}

}  // namespace

void GuardSamples(float* samples, int count) {
  std::uint64_t nonFinite = 0, clipped = 0;
  for (int i = 0; i < count; ++i) {
    float& x = samples[i];
    if (!std::isfinite(x)) {
      x = 0.0f;
      ++nonFinite;
    } else if (std::fabs(x) > 1.0f) {
      x = x > 0 ? 1.0f : -1.0f;
      ++clipped;
    } else if (std::fabs(x) < kBelowResolution) {
      x = 0.0f;
    }
  }
  if (nonFinite > 0) TellOnce(toldNonFinite, "samples that were not finite numbers", nonFiniteTotal += nonFinite);
  if (clipped > 0) TellOnce(toldClipped, "samples beyond full scale", clippedTotal += clipped);
}

SampleGuardCounts MendedSamples() { return {nonFiniteTotal.load(), clippedTotal.load()}; }

}  // namespace kelvane
