#include "render/flash_rule.h"

#include <algorithm>

namespace kelvane {

bool Step(UnitSwing& s, double value, const Swing& swing) {
  if (s.direction == 0) {
    if (value == s.turn) return false;
    s.direction = value > s.turn ? 1 : -1;
    s.extreme = value;
  } else if ((value - s.extreme) * s.direction >= 0) {
    s.extreme = value;
  } else if (swing.Enough(std::abs(value - s.extreme))) {
    s.turn = s.extreme;
    s.extreme = value;
    s.direction = -s.direction;
    s.counted = false;
  }
  if (s.counted) return false;
  s.counted = swing.Enough(std::abs(s.extreme - s.turn)) && std::min(s.turn, s.extreme) < swing.darkerBelow;
  return s.counted;
}

RuleTrack::RuleTrack(const Channel& c, const UnitGrid& grid, int window)
    : channel(c),
      sums(static_cast<std::size_t>(grid.Count())),
      perValue(sums.size()),
      swings(sums.size()),
      counts(sums.size()),
      ring(static_cast<std::size_t>(window)),
      flagged(sums.size()),
      statsFrame(sums.size(), -1),
      stats(sums.size()),
      pairsCounted(sums.size()) {
  for (int u = 0; u < grid.Count(); ++u) perValue[static_cast<std::size_t>(u)] = 1.0 / grid.Area(u) / channel.scale;
}

}  // namespace kelvane
