#pragma once
// Where a 10-degree field of view holds the most flashing pixels. The field
// is a rectangle of exactly its size in pixels at every pixel position; one
// larger than the picture covers all of it, the rest of it never flashing.

#include <cstdint>
#include <vector>

#include "render/flash_units.h"

namespace kelvane {

class FlashField {
 public:
  FlashField(const UnitGrid& grid, int fieldWidth, int fieldHeight);

  double Area() const { return area_; }

  // At least as many pixels as any field can hold of the flagged units,
  // given how many of each unit's pixels count: cheap, to skip the exact
  // count where it cannot matter.
  std::int64_t Bound(const std::vector<std::uint8_t>& flagged, const std::vector<std::int32_t>& counting);

  struct Spot {
    int x = 0, y = 0;  // top left of the field, in picture pixels
    std::int64_t pixels = 0;
  };
  // The field holding the most pixels that lie in flagged units and changed
  // after frame `since` (lastChange holds each pixel's last frame of change).
  Spot Best(const std::vector<std::uint8_t>& flagged, const std::vector<std::int32_t>& lastChange, int since);

  // The units a field at this spot touches, as [first, last] columns and rows.
  struct Span {
    int col0, col1, row0, row1;
  };
  Span UnitsOf(const Spot& spot) const;

 private:
  const UnitGrid& grid_;
  int width_, height_;  // the field cut to the picture
  double area_;
  std::vector<int> lastCol_, lastRow_;  // for a field starting in a unit, the furthest unit it reaches
  std::vector<std::int64_t> unitSums_;
  std::vector<std::int32_t> pixelSums_;
};

}  // namespace kelvane
