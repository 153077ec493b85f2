#include "visual/random_source.h"

namespace kelvane {
namespace {
constexpr std::uint64_t kMultiplier = (std::uint64_t{346} << 32) + 20021;
}  // namespace

std::int32_t Random(SessionState& s, std::int32_t range) {
  s.randomState = s.randomState * kMultiplier + 1;  // wraps modulo 2^64 by design
  const auto output = static_cast<std::int32_t>((s.randomState >> 32) & 0x7FFFFFFF);
  return range < 1 ? 0 : output % range;
}

}  // namespace kelvane
