#pragma once
// One rule of the flash analyser (general flash or red flash) over every
// unit of the picture: each unit's light, the transitions it makes, those
// of the last second, and the worst windows found.

#include <cmath>
#include <cstdint>
#include <vector>

#include "render/flash_units.h"

namespace kelvane {

// More than 3 flashes is more than 6 transitions; a flash is a pair of them.
inline constexpr int kMostTransitions = 6;
// An odd transition is a flash begun, so 7 transitions are 4 flashes: more than 3.
inline int Flashes(int transitions) { return (transitions + 1) / 2; }

// What makes a change of a unit's value a transition.
struct Swing {
  double threshold;
  bool strict;         // red must change by more than its threshold, light by at least
  double darkerBelow;  // light only counts where the darker state is below 0.8
  bool Enough(double change) const { return strict ? change > threshold : change >= threshold; }
};

// A unit's value series becomes transitions by hysteresis on turning points.
// A run goes from the last turning point in one direction, its extreme
// following the value; moves back from the extreme by less than the
// threshold are noise and leave the run alone. A move back by the threshold
// or more turns: the extreme becomes the new turning point and a run in the
// other direction begins. A run is one transition however far it goes,
// counted at the first frame where its extent from the turning point reaches
// the threshold and (for light) the darker of its two ends is below 0.8, so
// a fall from white counts when it gets below 0.8, not before.
struct UnitSwing {
  double turn = 0;
  double extreme = 0;
  int direction = 0;  // 0 until the value first changes
  bool counted = false;
};

// Takes the unit's value in this frame; true when it makes a transition.
bool Step(UnitSwing& s, double value, const Swing& swing);

// One rule's light value of a pixel (luminance or red) and how it is judged.
struct Channel {
  std::int32_t PixelLight::*field;
  double scale;
  Swing swing;
  std::int32_t tolerance;  // changes of two neighbours closer than this are one change
};

// A unit's change from the last frame, with its 3 x 3 neighbours: how far
// it cancels out, and how fine its pattern is.
struct ChangeStats {
  std::int64_t sum = 0, magnitude = 0;  // of the changes, and of their sizes
  int differing = 0, active = 0;        // neighbour pairs changing differently, pairs where anything changes
  void Add(const ChangeStats& o) {
    sum += o.sum, magnitude += o.magnitude, differing += o.differing, active += o.active;
  }
};

// A window's share and the transitions of its unit that flashes most.
struct Window {
  double share = 0;
  int transitions = 0;
  bool Worse(const Window& o) const { return share > o.share || (share == o.share && transitions > o.transitions); }
};

// One rule's judgement of every unit, and its worst windows.
struct RuleTrack {
  Channel channel;
  std::vector<std::int64_t> sums;  // per unit, of the pixels' values
  std::vector<double> perValue;    // per unit, what a sum is worth as a mean
  std::vector<UnitSwing> swings;
  std::vector<int> counts;             // transitions in the current window
  std::vector<std::vector<int>> ring;  // per frame of the window, the units that made a transition
  std::vector<std::uint8_t> flagged;   // counts above kMostTransitions
  int flaggedCount = 0;
  std::vector<int> statsFrame;     // the frame each unit's stats are of
  std::vector<ChangeStats> stats;  // (sum and magnitude kept up by TakePixels, pairs on demand)
  std::vector<std::uint8_t> pairsCounted;
  Window worst;
  double worstStart = 0;
  std::vector<Window> seconds;

  RuleTrack(const Channel& c, const UnitGrid& grid, int window);

  // This frame's stats of a unit, zero until it changes.
  ChangeStats& FrameStats(int unit, int frame) {
    const auto u = static_cast<std::size_t>(unit);
    if (statsFrame[u] != frame) statsFrame[u] = frame, stats[u] = {}, pairsCounted[u] = 0;
    return stats[u];
  }

  double Mean(int unit) const {
    return static_cast<double>(sums[static_cast<std::size_t>(unit)]) * perValue[static_cast<std::size_t>(unit)];
  }
};

}  // namespace kelvane
