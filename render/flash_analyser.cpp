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
#include "render/flash_rule.h"
#include "render/flash_units.h"

namespace kelvane {
namespace {

// The last change of a pixel that never changed.
constexpr std::int32_t kNever = -1000000000;

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

}  // namespace

struct FlashAnalyser::State {
  FlashRules rules;
  int window;  // frames in one second
  UnitGrid grid;
  FlashField field;
  RuleTrack lightRule;
  RuleTrack redRule;
  std::vector<std::uint32_t> pixels;     // the last frame
  std::vector<std::int32_t> lastChange;  // per pixel, the last frame it changed in
  std::vector<PixelLight> light;         // per pixel, its light now
  std::vector<PixelLight> change;        // per pixel, its change in the frame of lastChange
  std::vector<int> changedUnits;         // this frame's
  struct UnitChange {
    std::int64_t sum[2] = {0, 0}, size[2] = {0, 0};  // luminance, red
    std::int32_t counting = 0;
    bool changed = false;
  };
  std::vector<std::int32_t> counting;     // per unit, pixels changed in the window
  std::vector<UnitChange> rowChanges;     // scratch of TakePixels, a row of units
  std::vector<std::int32_t> pairChanges;  // scratch of CountPairs
  int frames = 0;

  State(int width, int height, const FlashRules& r)
      : rules(r),
        window(std::max(1, static_cast<int>(std::lround(r.fps)))),
        grid(width, height, r.fieldWidth / 100.0),
        field(grid, r.fieldWidth, r.fieldHeight),
        lightRule(Channel{&PixelLight::luminance, kLightScale, {0.1, false, 0.8}, 1 << 16}, grid, window),
        redRule(Channel{&PixelLight::red, kRedScale, {20, true, std::numeric_limits<double>::infinity()}, 1 << 16},
                grid, window),
        pixels(static_cast<std::size_t>(width) * height),
        lastChange(pixels.size(), kNever),
        light(pixels.size(), PixelLight{0, 0}),
        change(pixels.size(), PixelLight{0, 0}),
        counting(static_cast<std::size_t>(grid.Count())),
        rowChanges(static_cast<std::size_t>(grid.Cols())) {}

  void TakePixels(const Frame& frame);
  void CountPairs(const Channel& c, int unit, ChangeStats& s);
  void Advance(RuleTrack& t);
  bool Exempt(RuleTrack& t, int unit);
  void Judge(RuleTrack& t);
  int MostTransitions(const RuleTrack& t, const FlashField::Span& span) const;
};

// Copies the frame in, and for every pixel that changed, its new values and
// their change; each unit's sums, and the sum and size of its changes.
void FlashAnalyser::State::TakePixels(const Frame& frame) {
  const int w = grid.width, cols = grid.Cols();
  // The first frame changes every pixel (no pixel value is 0), but only
  // later ones are changes a field can count. A pixel counts from its change
  // until it has stood still for a window.
  const std::int32_t stamp = frames > 0 ? frames : kNever;
  const std::int32_t leaving = frames - window;
  for (int row = 0; row < grid.Rows(); ++row) {
    std::fill(rowChanges.begin(), rowChanges.end(), UnitChange{});
    for (int y = grid.yEdges[static_cast<std::size_t>(row)]; y < grid.yEdges[static_cast<std::size_t>(row) + 1]; ++y) {
      const std::uint32_t* in = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.stride;
      const std::size_t rowStart = static_cast<std::size_t>(y) * w;
      std::uint32_t* was = &pixels[rowStart];
      PixelLight* kept = &light[rowStart];
      std::int32_t* changed = &lastChange[rowStart];
      for (int x = 0; x < w; ++x) {
        if (in[x] == was[x]) {
          if (changed[x] == leaving)
            --rowChanges[static_cast<std::size_t>(grid.colOf[static_cast<std::size_t>(x)])].counting;
          continue;
        }
        if (changed[x] <= leaving && stamp != kNever)
          ++rowChanges[static_cast<std::size_t>(grid.colOf[static_cast<std::size_t>(x)])].counting;
        was[x] = in[x];
        const PixelLight to = MeasurePixel(in[x]);
        const PixelLight d{to.luminance - kept[x].luminance, to.red - kept[x].red};
        kept[x] = to;
        change[rowStart + static_cast<std::size_t>(x)] = d;
        changed[x] = stamp;
        UnitChange& u = rowChanges[static_cast<std::size_t>(grid.colOf[static_cast<std::size_t>(x)])];
        u.sum[0] += d.luminance, u.sum[1] += d.red;
        u.size[0] += std::abs(d.luminance), u.size[1] += std::abs(d.red);
        u.changed = true;
      }
    }
    for (int col = 0; col < cols; ++col) {
      const UnitChange& u = rowChanges[static_cast<std::size_t>(col)];
      const int unit = row * cols + col;
      counting[static_cast<std::size_t>(unit)] += u.counting;
      if (!u.changed) continue;
      changedUnits.push_back(unit);
      for (int rule = 0; rule < 2; ++rule) {
        RuleTrack& t = rule == 0 ? lightRule : redRule;
        t.sums[static_cast<std::size_t>(unit)] += u.sum[rule];
        ChangeStats& stats = t.FrameStats(unit, frames);
        stats.sum += u.sum[rule];
        stats.magnitude += u.size[rule];
      }
    }
  }
}

// The neighbour pairs of a unit's pixels (to the right and below, so each
// pair is counted once) that change at all, and those that change differently.
void FlashAnalyser::State::CountPairs(const Channel& c, int unit, ChangeStats& s) {
  const int col = unit % grid.Cols(), row = unit / grid.Cols();
  const int x0 = grid.xEdges[static_cast<std::size_t>(col)], y0 = grid.yEdges[static_cast<std::size_t>(row)];
  const int x1 = grid.xEdges[static_cast<std::size_t>(col) + 1], y1 = grid.yEdges[static_cast<std::size_t>(row) + 1];
  // The unit's changes with one more column and row where the picture has them.
  const int w = std::min(x1 + 1, grid.width) - x0, h = std::min(y1 + 1, grid.height) - y0;
  pairChanges.resize(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::size_t p = static_cast<std::size_t>(y0 + y) * grid.width + x0 + x;
      pairChanges[static_cast<std::size_t>(y * w + x)] = lastChange[p] == frames ? change[p].*c.field : 0;
    }
  const auto pair = [&](std::int32_t a, std::int32_t b) {
    if (std::abs(a) <= c.tolerance && std::abs(b) <= c.tolerance) return;
    ++s.active;
    s.differing += std::abs(a - b) > c.tolerance;
  };
  for (int y = 0; y < y1 - y0; ++y)
    for (int x = 0; x < x1 - x0; ++x) {
      const std::int32_t d = pairChanges[static_cast<std::size_t>(y * w + x)];
      if (x + 1 < w) pair(d, pairChanges[static_cast<std::size_t>(y * w + x + 1)]);
      if (y + 1 < h) pair(d, pairChanges[static_cast<std::size_t>((y + 1) * w + x)]);
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
  std::int64_t withinUnits = 0;  // what is left of the change in each unit
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const ChangeStats& s = t.FrameStats(r * grid.Cols() + c, frames);
      around.Add(s);
      withinUnits += std::abs(s.sum);
    }
  if (2 * std::abs(around.sum) >= around.magnitude) return false;
  // Where most of the change survives inside each unit, its light and dark
  // parts are not both finer than a unit: no need to look at the pixels.
  if (5 * withinUnits >= 4 * around.magnitude) return false;
  around = {};
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const int u = r * grid.Cols() + c;
      ChangeStats& s = t.FrameStats(u, frames);
      if (!t.pairsCounted[static_cast<std::size_t>(u)]) {
        CountPairs(t.channel, u, s);
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
  for (int u : changedUnits) {
    // A unit whose value stands still makes no transition (its light may
    // change where its red does not, or the other way round).
    if (t.FrameStats(u, frames).magnitude == 0) continue;
    if (!Step(t.swings[static_cast<std::size_t>(u)], t.Mean(u), t.channel.swing) || Exempt(t, u)) continue;
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
    for (int c = span.col0; c <= span.col1; ++c)
      most = std::max(most, t.counts[static_cast<std::size_t>(r * grid.Cols() + c)]);
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
    if (static_cast<double>(field.Bound(t.flagged, counting)) / field.Area() < row.share) return;
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
  s.changedUnits.clear();
  s.TakePixels(frame);
  for (RuleTrack* t : {&s.lightRule, &s.redRule}) {
    if (s.frames == 0) {
      for (int u = 0; u < s.grid.Count(); ++u) {
        UnitSwing& swing = t->swings[static_cast<std::size_t>(u)];
        swing.turn = swing.extreme = t->Mean(u);
      }
    } else {
      s.Advance(*t);
    }
  }
  ++s.frames;
  s.Judge(s.lightRule);
  s.Judge(s.redRule);
}

FlashReport FlashAnalyser::Report() const {
  const State& s = *state_;
  FlashReport report{Result(s.lightRule), Result(s.redRule),   s.frames, s.rules.fps,
                     s.rules.fieldWidth,  s.rules.fieldHeight, {},       {}};
  for (std::size_t i = 0; i < s.lightRule.seconds.size(); ++i)
    report.seconds.push_back({static_cast<double>(i * s.window) / s.rules.fps, Measure(s.lightRule.seconds[i]),
                              Measure(i < s.redRule.seconds.size() ? s.redRule.seconds[i] : Window{})});
  return report;
}

}  // namespace kelvane
