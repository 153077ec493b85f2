#include "render/flash_field.h"

#include <algorithm>

namespace kelvane {
namespace {

// For a field `extent` pixels long starting anywhere in unit u (and no
// further than the last start there is), the last unit it reaches.
std::vector<int> LastUnitReached(const std::vector<int>& edges, const std::vector<int>& unitOf, int extent) {
  const int length = edges.back();
  const int lastStart = length - extent;
  std::vector<int> last;
  for (std::size_t u = 0; u + 1 < edges.size() && edges[u] <= lastStart; ++u) {
    const int furthestStart = std::min(edges[u + 1] - 1, lastStart);
    last.push_back(unitOf[static_cast<std::size_t>(furthestStart + extent - 1)]);
  }
  return last;
}

}  // namespace

FlashField::FlashField(const UnitGrid& grid, int fieldWidth, int fieldHeight)
    : grid_(grid),
      width_(std::min(fieldWidth, grid.width)),
      height_(std::min(fieldHeight, grid.height)),
      area_(static_cast<double>(fieldWidth) * fieldHeight),
      lastCol_(LastUnitReached(grid.xEdges, grid.colOf, width_)),
      lastRow_(LastUnitReached(grid.yEdges, grid.rowOf, height_)),
      unitSums_(static_cast<std::size_t>(grid.Cols() + 1) * (grid.Rows() + 1)),
      pixelSums_(static_cast<std::size_t>(grid.width + 1) * (grid.height + 1)) {}

std::int64_t FlashField::Bound(const std::vector<std::uint8_t>& flagged, const std::vector<std::int32_t>& counting) {
  const int cols = grid_.Cols(), stride = cols + 1;
  for (int row = 0; row < grid_.Rows(); ++row) {
    std::int64_t rowSum = 0;
    for (int col = 0; col < cols; ++col) {
      const int u = row * cols + col;
      rowSum += flagged[static_cast<std::size_t>(u)] ? counting[static_cast<std::size_t>(u)] : 0;
      unitSums_[static_cast<std::size_t>((row + 1) * stride + col + 1)] =
          unitSums_[static_cast<std::size_t>(row * stride + col + 1)] + rowSum;
    }
  }
  std::int64_t best = 0;
  for (std::size_t r0 = 0; r0 < lastRow_.size(); ++r0) {
    const std::int64_t* top = &unitSums_[r0 * stride];
    const std::int64_t* bottom = &unitSums_[static_cast<std::size_t>(lastRow_[r0] + 1) * stride];
    for (std::size_t c0 = 0; c0 < lastCol_.size(); ++c0) {
      const std::size_t c1 = static_cast<std::size_t>(lastCol_[c0]) + 1;
      best = std::max(best, bottom[c1] - bottom[c0] - top[c1] + top[c0]);
    }
  }
  return best;
}

FlashField::Spot FlashField::Best(const std::vector<std::uint8_t>& flagged, const std::vector<std::int32_t>& lastChange,
                                  int since) {
  const int w = grid_.width, h = grid_.height, stride = w + 1;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* units =
        &flagged[static_cast<std::size_t>(grid_.rowOf[static_cast<std::size_t>(y)]) * grid_.Cols()];
    const std::int32_t* changed = &lastChange[static_cast<std::size_t>(y) * w];
    std::int32_t* above = &pixelSums_[static_cast<std::size_t>(y) * stride];
    std::int32_t* here = above + stride;
    std::int32_t rowSum = 0;
    for (int x = 0; x < w; ++x) {
      rowSum += units[grid_.colOf[static_cast<std::size_t>(x)]] && changed[x] > since;
      here[x + 1] = above[x + 1] + rowSum;
    }
  }
  Spot best;
  best.pixels = -1;
  for (int y = 0; y + height_ <= h; ++y) {
    const std::int32_t* top = &pixelSums_[static_cast<std::size_t>(y) * stride];
    const std::int32_t* bottom = top + static_cast<std::ptrdiff_t>(height_) * stride;
    for (int x = 0; x + width_ <= w; ++x) {
      const std::int64_t n = bottom[x + width_] - bottom[x] - top[x + width_] + top[x];
      if (n > best.pixels) best = {x, y, n};
    }
  }
  return best;
}

FlashField::Span FlashField::UnitsOf(const Spot& spot) const {
  return {grid_.colOf[static_cast<std::size_t>(spot.x)], grid_.colOf[static_cast<std::size_t>(spot.x + width_ - 1)],
          grid_.rowOf[static_cast<std::size_t>(spot.y)], grid_.rowOf[static_cast<std::size_t>(spot.y + height_ - 1)]};
}

}  // namespace kelvane
