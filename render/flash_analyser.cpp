#include "render/flash_analyser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvane {
namespace {

// More than 3 flashes is more than 6 transitions; a flash is a pair of them.
constexpr int kMostTransitions = 6;
constexpr double kMostShare = 0.25;

const std::array<double, 256>& LinearTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      t[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return t;
  }();
  return table;
}

struct PixelLight {
  double luminance = 0;
  double red = 0;
};

inline PixelLight MeasurePixel(std::uint32_t pixel, const std::array<double, 256>& lin) {
  const double r = lin[(pixel >> 16) & 0xFF];
  const double g = lin[(pixel >> 8) & 0xFF];
  const double b = lin[pixel & 0xFF];
  // R / (R + G + B) >= 0.8 without the division, so black is simply not red.
  const double red = r > 0 && r >= 0.8 * (r + g + b) ? (r - g - b) * 320 : 0.0;
  return {0.2126 * r + 0.7152 * g + 0.0722 * b, red};
}

// The cells tile the frame from its top left; those at the right and bottom
// edges may be cut short and then count by the pixels they have.
struct Grid {
  int width = 0;
  int height = 0;
  int cellSize = 0;
  int cols = 0;
  int rows = 0;
  std::vector<int> cellArea;
};

Grid MakeGrid(int width, int height, int cellSize) {
  Grid g{width, height, cellSize, (width + cellSize - 1) / cellSize, (height + cellSize - 1) / cellSize, {}};
  g.cellArea.resize(static_cast<std::size_t>(g.cols) * g.rows);
  for (int row = 0; row < g.rows; ++row)
    for (int col = 0; col < g.cols; ++col)
      g.cellArea[row * g.cols + col] = (std::min(width, (col + 1) * cellSize) - col * cellSize) *
                                       (std::min(height, (row + 1) * cellSize) - row * cellSize);
  return g;
}

// Adds one pixel row's light into its row of cells. Rendered frames are
// mostly flat colour, so a pixel like the one before it is not measured again.
void AddRow(const std::uint32_t* pixels, const Grid& grid, double* light, double* red) {
  const auto& lin = LinearTable();
  std::uint32_t last = pixels[0];
  PixelLight measured = MeasurePixel(last, lin);
  for (int col = 0; col < grid.cols; ++col) {
    const int end = std::min(grid.width, (col + 1) * grid.cellSize);
    double lightSum = 0, redSum = 0;
    for (int x = col * grid.cellSize; x < end; ++x) {
      if (pixels[x] != last) measured = MeasurePixel(last = pixels[x], lin);
      lightSum += measured.luminance;
      redSum += measured.red;
    }
    light[col] += lightSum;
    red[col] += redSum;
  }
}

// Each cell's mean luminance and mean red value over its pixels.
void MeasureCells(const Frame& frame, const Grid& grid, std::vector<double>& light, std::vector<double>& red) {
  std::fill(light.begin(), light.end(), 0.0);
  std::fill(red.begin(), red.end(), 0.0);
  for (int y = 0; y < grid.height; ++y) {
    const std::size_t rowStart = static_cast<std::size_t>(y / grid.cellSize) * grid.cols;
    AddRow(frame.pixels + y * frame.stride, grid, &light[rowStart], &red[rowStart]);
  }
  for (std::size_t c = 0; c < light.size(); ++c) {
    light[c] /= grid.cellArea[c];
    red[c] /= grid.cellArea[c];
  }
}

// What makes a change of a cell's value a transition.
struct Swing {
  double threshold;
  bool strict;        // red must change by more than its threshold, light by at least
  double darkerBelow;  // light only counts where the darker state is below 0.8
  bool Enough(double change) const { return strict ? change > threshold : change >= threshold; }
};

constexpr Swing kLightSwing{0.1, false, 0.8};
constexpr Swing kRedSwing{20, true, std::numeric_limits<double>::infinity()};

// A cell's value series becomes transitions by hysteresis on turning points.
// A run goes from the last turning point in one direction, its extreme
// following the value; moves back from the extreme by less than the
// threshold are noise and leave the run alone. A move back by the threshold
// or more turns: the extreme becomes the new turning point and a run in the
// other direction begins. A run is one transition however far it goes,
// counted at the first frame where its extent from the turning point reaches
// the threshold and (for light) the darker of its two ends is below 0.8, so
// a fall from white counts when it gets below 0.8, not before. A slow drift
// counts once it has moved the threshold; a flicker smaller than the
// threshold never does; alternating frames are a transition every frame.
struct CellSwing {
  double turn = 0;
  double extreme = 0;
  int direction = 0;  // 0 until the value first changes
  bool counted = false;
};

bool Step(CellSwing& s, double value, const Swing& swing) {
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

// The field is searched as rectangles of whole cells, ceil(341 / 4) x 64 of
// them by default, at every cell position; flagged cells count by their
// pixels against the field's own pixels. A field larger than the frame
// covers all of it, the rest of the field never flashing.
struct Field {
  int cols = 0;  // in cells, cut to the frame
  int rows = 0;
  double area = 0;
};

Field MakeField(const Grid& grid, const FlashRules& rules) {
  const int cols = (rules.fieldWidth + grid.cellSize - 1) / grid.cellSize;
  const int rows = (rules.fieldHeight + grid.cellSize - 1) / grid.cellSize;
  return {std::min(cols, grid.cols), std::min(rows, grid.rows), double(rules.fieldWidth) * rules.fieldHeight};
}

struct FieldSpot {
  int col = 0;
  int row = 0;
  double share = 0;
};

// Where the field covers the most pixels of flagged cells, by a 2-D prefix
// sum of their areas: `sums` is (rows + 1) x (cols + 1), row and column 0 zero.
FieldSpot BestField(const std::vector<int>& counts, const Grid& grid, const Field& field,
                    std::vector<std::int64_t>& sums) {
  const int stride = grid.cols + 1;
  for (int row = 0; row < grid.rows; ++row) {
    std::int64_t rowSum = 0;
    for (int col = 0; col < grid.cols; ++col) {
      const int c = row * grid.cols + col;
      rowSum += counts[c] > kMostTransitions ? grid.cellArea[c] : 0;
      sums[(row + 1) * stride + col + 1] = sums[row * stride + col + 1] + rowSum;
    }
  }
  FieldSpot best;
  std::int64_t bestArea = -1;
  for (int row = 0; row + field.rows <= grid.rows; ++row) {
    const std::int64_t* top = &sums[row * stride];
    const std::int64_t* bottom = &sums[(row + field.rows) * stride];
    for (int col = 0; col + field.cols <= grid.cols; ++col) {
      const std::int64_t area = bottom[col + field.cols] - bottom[col] - top[col + field.cols] + top[col];
      if (area > bestArea) best.col = col, best.row = row, bestArea = area;
    }
  }
  best.share = std::min(1.0, bestArea / field.area);
  return best;
}

int MostTransitions(const std::vector<int>& counts, const Grid& grid, int col, int row, int cols, int rows) {
  int most = 0;
  for (int r = row; r < row + rows; ++r)
    for (int c = col; c < col + cols; ++c) most = std::max(most, counts[r * grid.cols + c]);
  return most;
}

// An odd transition is a flash begun, so 7 transitions are 4 flashes: more than 3.
int Flashes(int transitions) { return (transitions + 1) / 2; }

// Per cell: its swing and its transitions in the current window. The ring
// keeps, for each of the window's frames, the cells that made a transition
// in it, so the oldest frame's drop out as the newest's come in.
struct RuleTrack {
  Swing swing;
  std::vector<CellSwing> cells;
  std::vector<int> counts;
  std::vector<std::vector<int>> ring;
  int flagged = 0;  // cells over kMostTransitions in the window
  FlashRuleResult worst;
  int worstTransitions = 0;  // of its cell that flashes most

  RuleTrack(const Swing& s, std::size_t cellCount, int fps)
      : swing(s), cells(cellCount), counts(cellCount), ring(fps) {}

  void Start(const std::vector<double>& values) {
    for (std::size_t c = 0; c < cells.size(); ++c) cells[c].turn = cells[c].extreme = values[c];
  }

  // Slot frame % fps last held frame - fps, which has just left the window.
  void Advance(const std::vector<double>& values, int frame) {
    auto& slot = ring[frame % ring.size()];
    for (int c : slot)
      if (counts[c]-- == kMostTransitions + 1) --flagged;
    slot.clear();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (!Step(cells[c], values[c], swing)) continue;
      slot.push_back(static_cast<int>(c));
      if (++counts[c] == kMostTransitions + 1) ++flagged;
    }
  }

  // Keeps the window if it is worse than the worst so far: a larger share,
  // or as large a share with more transitions; the earliest of equals stays.
  void Judge(int windowStart, int fps, const Grid& grid, const Field& field, std::vector<std::int64_t>& sums) {
    FieldSpot spot;
    int transitions = 0;
    if (flagged == 0) {
      if (worst.share > 0) return;
      transitions = *std::max_element(counts.begin(), counts.end());
    } else {
      spot = BestField(counts, grid, field, sums);
      if (spot.share < worst.share) return;
      transitions = MostTransitions(counts, grid, spot.col, spot.row, field.cols, field.rows);
    }
    if (spot.share == worst.share && transitions <= worstTransitions) return;
    worstTransitions = transitions;
    worst = {spot.share > kMostShare, double(windowStart) / fps, Flashes(transitions), spot.share};
  }
};

void CheckRules(int width, int height, const FlashRules& r) {
  if (width < 1 || height < 1 || r.fps < 1 || r.cellSize < 1 || r.fieldWidth < 1 || r.fieldHeight < 1)
    throw std::invalid_argument("flash analyser: frame size, fps, field and cell size must be at least 1");
}

void CheckFrame(const Frame& f, const Grid& grid) {
  if (f.width != grid.width || f.height != grid.height)
    throw std::invalid_argument("flash analyser: a frame of " + std::to_string(f.width) + " x " +
                                std::to_string(f.height) + " in a session of " + std::to_string(grid.width) + " x " +
                                std::to_string(grid.height));
  if (f.pixels == nullptr || f.stride < f.width) throw std::invalid_argument("flash analyser: a frame without pixels");
}

}  // namespace

struct FlashAnalyser::State {
  FlashRules rules;
  Grid grid;
  Field field;
  RuleTrack light;
  RuleTrack red;
  std::vector<double> lightCells;
  std::vector<double> redCells;
  std::vector<std::int64_t> sums;
  int frames = 0;

  State(int width, int height, const FlashRules& r)
      : rules(r),
        grid(MakeGrid(width, height, r.cellSize)),
        field(MakeField(grid, r)),
        light(kLightSwing, grid.cellArea.size(), r.fps),
        red(kRedSwing, grid.cellArea.size(), r.fps),
        lightCells(grid.cellArea.size()),
        redCells(grid.cellArea.size()),
        sums(static_cast<std::size_t>(grid.cols + 1) * (grid.rows + 1)) {}
};

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
  MeasureCells(frame, s.grid, s.lightCells, s.redCells);
  if (s.frames == 0) {
    s.light.Start(s.lightCells);
    s.red.Start(s.redCells);
  } else {
    s.light.Advance(s.lightCells, s.frames);
    s.red.Advance(s.redCells, s.frames);
  }
  ++s.frames;
  // Until there is a whole second, the run so far is one short window from the start.
  const int windowStart = std::max(0, s.frames - s.rules.fps);
  s.light.Judge(windowStart, s.rules.fps, s.grid, s.field, s.sums);
  s.red.Judge(windowStart, s.rules.fps, s.grid, s.field, s.sums);
}

FlashReport FlashAnalyser::Report() const {
  const State& s = *state_;
  return {s.light.worst, s.red.worst, s.frames, s.rules.fps, s.rules.fieldWidth, s.rules.fieldHeight};
}

}  // namespace kelvane
