#pragma once
// The last step before sound leaves the program, for a device or a file: a
// sample that is not a finite number becomes silence, and every sample is
// limited to full scale. Either should never happen; when it does, standard
// error says so once, with how often, so it can never happen silently.

#include <cstdint>

namespace kelvane {

// Mends the samples in place and counts what it mended.
void GuardSamples(float* samples, int count);

struct SampleGuardCounts {
  std::uint64_t nonFinite = 0;  // NaN or infinite, written as 0
  std::uint64_t clipped = 0;    // beyond full scale, written as +-1
};
// What every call so far has mended, in this process.
SampleGuardCounts MendedSamples();

}  // namespace kelvane
