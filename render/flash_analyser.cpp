#include "render/flash_analyser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/flash_field.h"
#include "render/flash_units.h"

namespace kelvane {
namespace {

// More than 3 flashes is more than 6 transitions; a flash is a pair of them.
constexpr int kMostTransitions = 6;
// An odd transition is a flash begun, so 7 transitions are 4 flashes: more than 3.
int Flashes(int transitions) { return (transitions + 1) / 2; }

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

// One rule's light value of a pixel (luminance or red) and how it is judged.
struct Channel {
  std::int32_t PixelLight::*field;
  double scale;
  Swing swing;
  std::int32_t tolerance;  // changes of two neighbours closer than this are one change
};

// A pixel's light values and their change in the last frame.
struct PixelState {
  PixelLight value{0, 0};
  PixelLight change{0, 0};
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
  std::vector<UnitSwing> swings;
  std::vector<int> counts;                 // transitions in the current window
  std::vector<std::vector<int>> ring;      // per frame of the window, the units that made a transition
  std::vector<std::uint8_t> flagged;       // counts above kMostTransitions
  int flaggedCount = 0;
  std::vector<int> statsFrame;             // the frame each unit's stats are of
  std::vector<ChangeStats> stats;          // (sum and magnitude kept up by TakePixels, pairs on demand)
  std::vector<std::uint8_t> pairsCounted;
  Window worst;
  double worstStart = 0;
  std::vector<Window> seconds;

  RuleTrack(Channel c, std::size_t units, int window)
      : channel(std::move(c)), sums(units), swings(units), counts(units), ring(static_cast<std::size_t>(window)),
        flagged(units), statsFrame(units, -1), stats(units), pairsCounted(units) {}

  // This frame's stats of a unit, zero until it changes.
  ChangeStats& FrameStats(int unit, int frame) {
    const auto u = static_cast<std::size_t>(unit);
    if (statsFrame[u] != frame) statsFrame[u] = frame, stats[u] = {}, pairsCounted[u] = 0;
    return stats[u];
  }

  double Mean(const UnitGrid& grid, int unit) const {
    return static_cast<double>(sums[static_cast<std::size_t>(unit)]) / grid.Area(unit) / channel.scale;
  }
};

void CheckRules(int width, int height, const FlashRules& r) {
  if (width < 1 || height < 1 || !(r.fps >= 1) || r.fieldWidth < 1 || r.fieldHeight < 1)
    throw std::invalid_argument("flash analyser: frame size, fps and field must be at least 1");
}

void CheckFrame(const Frame& f, const UnitGrid& grid) {
  if (f.width != grid.width || f.height != grid.height)
    throw std::invalid_argument("flash analyser: a frame of " + std::to_string(f.width) + " x " +
                                std::to_string(f.height) + " in a run of " + std::to_string(grid.width) + " x " +
                                std::to_string(grid.height));
  if (f.pixels == nullptr || f.stride < f.width) throw std::invalid_argument("flash analyser: a frame without pixels");
}

// Pixels repeat a few colours; measuring each once a frame or so is enough.
class LightCache {
 public:
  PixelLight Measure(std::uint32_t pixel) {
    const std::size_t slot = (pixel * 2654435761u) >> 22;
    if (keys_[slot] != pixel || !filled_[slot]) {
      keys_[slot] = pixel;
      filled_[slot] = true;
      values_[slot] = MeasurePixel(pixel);
    }
    return values_[slot];
  }

 private:
  std::vector<std::uint32_t> keys_ = std::vector<std::uint32_t>(1024);
  std::vector<bool> filled_ = std::vector<bool>(1024);
  std::vector<PixelLight> values_ = std::vector<PixelLight>(1024);
};

}  // namespace

struct FlashAnalyser::State {
  FlashRules rules;
  int window;  // frames in one second
  UnitGrid grid;
  FlashField field;
  RuleTrack light;
  RuleTrack red;
  std::vector<std::uint32_t> pixels;      // the last frame
  std::vector<PixelState> pixelLight;
  std::vector<std::int32_t> lastChange;  // per pixel, the last frame it changed in, -1 for never
  LightCache cache;
  int frames = 0;

  State(int width, int height, const FlashRules& r)
      : rules(r),
        window(std::max(1, static_cast<int>(std::lround(r.fps)))),
        grid(width, height, r.fieldWidth / 100.0),
        field(grid, r.fieldWidth, r.fieldHeight),
        light(Channel{&PixelLight::luminance, kLightScale, {0.1, false, 0.8}, 1 << 16},
              static_cast<std::size_t>(grid.Count()), window),
        red(Channel{&PixelLight::red, kRedScale, {20, true, std::numeric_limits<double>::infinity()}, 1 << 16},
            static_cast<std::size_t>(grid.Count()), window),
        pixels(static_cast<std::size_t>(width) * height),
        pixelLight(pixels.size()),
        lastChange(pixels.size(), -1) {}

  void TakePixels(const Frame& frame);
  void Advance(RuleTrack& t);
  bool Exempt(RuleTrack& t, int unit);
  void Judge(RuleTrack& t);
  int MostTransitions(const RuleTrack& t, const FlashField::Span& span) const;
};

// Copies the frame in, and for every pixel that changed, its new values and
// their change; each unit's sums, and the sum and size of its changes.
void FlashAnalyser::State::TakePixels(const Frame& frame) {
  const int w = grid.width, cols = grid.Cols();
  for (int y = 0; y < grid.height; ++y) {
    const std::uint32_t* in = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.stride;
    const std::size_t rowStart = static_cast<std::size_t>(y) * w;
    const int unitRow = grid.rowOf[static_cast<std::size_t>(y)] * cols;
    for (int col = 0; col < cols; ++col) {
      PixelLight sum{0, 0}, size{0, 0};
      bool changed = false;
      for (int x = grid.xEdges[static_cast<std::size_t>(col)]; x < grid.xEdges[static_cast<std::size_t>(col) + 1]; ++x) {
        const std::size_t p = rowStart + x;
        if (frames > 0 && in[x] == pixels[p]) continue;
        pixels[p] = in[x];
        PixelState& px = pixelLight[p];
        const PixelLight now = cache.Measure(in[x]);
        px.change = {now.luminance - px.value.luminance, now.red - px.value.red};
        px.value = now;
        sum.luminance += px.change.luminance, sum.red += px.change.red;
        size.luminance += std::abs(px.change.luminance), size.red += std::abs(px.change.red);
        if (frames > 0) lastChange[p] = frames;
        changed = true;
      }
      if (!changed) continue;
      const int unit = unitRow + col;
      for (RuleTrack* t : {&light, &red}) {
        const auto field = t->channel.field;
        t->sums[static_cast<std::size_t>(unit)] += sum.*field;
        ChangeStats& stats = t->FrameStats(unit, frames);
        stats.sum += sum.*field;
        stats.magnitude += size.*field;
      }
    }
  }
}

// The neighbour pairs of a unit's pixels (to the right and below, so each
// pair is counted once) that change at all, and those that change differently.
void CountPairs(const UnitGrid& grid, const std::vector<PixelState>& pixels, const std::vector<std::int32_t>& lastChange,
                int frame, const Channel& c, int unit, ChangeStats& s) {
  const auto changeAt = [&](int x, int y) {
    const std::size_t p = static_cast<std::size_t>(y) * grid.width + x;
    return lastChange[p] == frame ? pixels[p].change.*c.field : 0;
  };
  const auto pair = [&](std::int32_t a, std::int32_t b) {
    if (std::abs(a) <= c.tolerance && std::abs(b) <= c.tolerance) return;
    ++s.active;
    s.differing += std::abs(a - b) > c.tolerance;
  };
  const int col = unit % grid.Cols(), row = unit / grid.Cols();
  for (int y = grid.yEdges[static_cast<std::size_t>(row)]; y < grid.yEdges[static_cast<std::size_t>(row) + 1]; ++y)
    for (int x = grid.xEdges[static_cast<std::size_t>(col)]; x < grid.xEdges[static_cast<std::size_t>(col) + 1]; ++x) {
      const std::int32_t d = changeAt(x, y);
      if (x + 1 < grid.width) pair(d, changeAt(x + 1, y));
      if (y + 1 < grid.height) pair(d, changeAt(x, y + 1));
    }
}

// A transition that is a fine, balanced pattern changing places does not
// count: around the unit (0.3 degree), the change cancels out to less than
// half its size, and its parts are smaller than 0.1 degree, judged by how
// often neighbouring pixels change differently.
bool FlashAnalyser::State::Exempt(RuleTrack& t, int unit) {
  const int col = unit % grid.Cols(), row = unit / grid.Cols();
  const int r0 = std::max(0, row - 1), r1 = std::min(grid.Rows() - 1, row + 1);
  const int c0 = std::max(0, col - 1), c1 = std::min(grid.Cols() - 1, col + 1);
  ChangeStats around;
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) around.Add(t.FrameStats(r * grid.Cols() + c, frames));
  if (2 * std::abs(around.sum) >= around.magnitude) return false;
  around = {};
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const int u = r * grid.Cols() + c;
      ChangeStats& s = t.FrameStats(u, frames);
      if (!t.pairsCounted[static_cast<std::size_t>(u)]) {
        CountPairs(grid, pixelLight, lastChange, frames, t.channel, u, s);
        t.pairsCounted[static_cast<std::size_t>(u)] = 1;
      }
      around.Add(s);
    }
  return around.differing * grid.unitPixels > around.active;
}

void FlashAnalyser::State::Advance(RuleTrack& t) {
  auto& slot = t.ring[static_cast<std::size_t>(frames % window)];
  for (int u : slot)
    if (t.counts[static_cast<std::size_t>(u)]-- == kMostTransitions + 1) {
      t.flagged[static_cast<std::size_t>(u)] = 0;
      --t.flaggedCount;
    }
  slot.clear();
  for (int u = 0; u < grid.Count(); ++u) {
    if (!Step(t.swings[static_cast<std::size_t>(u)], t.Mean(grid, u), t.channel.swing) || Exempt(t, u)) continue;
    slot.push_back(u);
    if (++t.counts[static_cast<std::size_t>(u)] == kMostTransitions + 1) {
      t.flagged[static_cast<std::size_t>(u)] = 1;
      ++t.flaggedCount;
    }
  }
}

int FlashAnalyser::State::MostTransitions(const RuleTrack& t, const FlashField::Span& span) const {
  int most = 0;
  for (int r = span.row0; r <= span.row1; ++r)
    for (int c = span.col0; c <= span.col1; ++c) most = std::max(most, t.counts[static_cast<std::size_t>(r * grid.Cols() + c)]);
  return most;
}

// The window of the last second against the worst so far, and against the
// worst of the second it starts in: a larger share, or as large a share
// with more flashes; the earliest of equals stays.
void FlashAnalyser::State::Judge(RuleTrack& t) {
  const int windowStart = std::max(0, frames - window);
  const auto second = static_cast<std::size_t>(windowStart / window);
  if (t.seconds.size() <= second) t.seconds.resize(second + 1);
  Window& row = t.seconds[second];
  Window now;
  if (t.flaggedCount == 0) {
    if (row.share > 0) return;
    now.transitions = *std::max_element(t.counts.begin(), t.counts.end());
  } else {
    if (static_cast<double>(field.Bound(t.flagged)) / field.Area() < row.share) return;
    const FlashField::Spot spot = field.Best(t.flagged, lastChange, windowStart - 1);
    now.share = std::min(1.0, static_cast<double>(spot.pixels) / field.Area());
    now.transitions = MostTransitions(t, field.UnitsOf(spot));
  }
  if (now.Worse(row)) row = now;
  if (now.Worse(t.worst)) t.worst = now, t.worstStart = windowStart / rules.fps;
}

FlashMeasure Measure(const Window& w) { return {Flashes(w.transitions), w.share}; }

FlashRuleResult Result(const RuleTrack& t) {
  const FlashMeasure m = Measure(t.worst);
  return {m.Fails(), t.worstStart, m.flashes, m.share};
}

FlashAnalyser::FlashAnalyser(int width, int height, FlashRules rules) {
  CheckRules(width, height, rules);
  state_ = std::make_unique<State>(width, height, rules);
}

FlashAnalyser::~FlashAnalyser() = default;
FlashAnalyser::FlashAnalyser(FlashAnalyser&&) noexcept = default;
FlashAnalyser& FlashAnalyser::operator=(FlashAnalyser&&) noexcept = default;

void FlashAnalyser::AddFrame(const Frame& frame) {
  State& s = *state_;
  CheckFrame(frame, s.grid);
  s.TakePixels(frame);
  for (RuleTrack* t : {&s.light, &s.red}) {
    if (s.frames == 0) {
      for (int u = 0; u < s.grid.Count(); ++u) {
        UnitSwing& swing = t->swings[static_cast<std::size_t>(u)];
        swing.turn = swing.extreme = t->Mean(s.grid, u);
      }
    } else {
      s.Advance(*t);
    }
  }
  ++s.frames;
  s.Judge(s.light);
  s.Judge(s.red);
}

FlashReport FlashAnalyser::Report() const {
  const State& s = *state_;
  FlashReport report{Result(s.light), Result(s.red), s.frames, s.rules.fps, s.rules.fieldWidth, s.rules.fieldHeight, {}, {}};
  for (std::size_t i = 0; i < s.light.seconds.size(); ++i)
    report.seconds.push_back({static_cast<double>(i * s.window) / s.rules.fps, Measure(s.light.seconds[i]),
                              Measure(i < s.red.seconds.size() ? s.red.seconds[i] : Window{})});
  return report;
}

}  // namespace kelvane
