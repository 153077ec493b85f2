#pragma once
// The picture as the flash analyser judges it: in units of a tenth of a
// degree of visual field, the size below which WCAG lets fine, balanced
// patterns flash, and in exact light values per pixel.

#include <cstdint>
#include <vector>

namespace kelvane {

// Light values in fixed point, so that sums over any set of pixels are exact
// and a verdict never depends on the order they were added in.
inline constexpr double kLightScale = 1 << 24;  // relative luminance 1.0
inline constexpr double kRedScale = 1 << 16;    // red value 1.0 (of at most 320)

// Relative luminance and red value of a 0xFFRRGGBB pixel, in fixed point.
struct PixelLight {
  std::int32_t luminance;
  std::int32_t red;
};
PixelLight MeasurePixel(std::uint32_t pixel);

// Units tile the picture from its top left; unit i of a row spans pixels
// [xEdges[i], xEdges[i + 1]), the edges lying at i x unitPixels rounded, so
// units are 3 or 4 pixels wide at 3.41 pixels to 0.1 degree.
struct UnitGrid {
  UnitGrid(int width, int height, double unitPixels);

  int Cols() const { return static_cast<int>(xEdges.size()) - 1; }
  int Rows() const { return static_cast<int>(yEdges.size()) - 1; }
  int Count() const { return Cols() * Rows(); }
  int Area(int unit) const { return area[static_cast<std::size_t>(unit)]; }

  int width, height;
  double unitPixels;
  std::vector<int> xEdges, yEdges;
  std::vector<int> colOf, rowOf;  // the unit column of each pixel column, the unit row of each pixel row
  std::vector<int> area;
};

}  // namespace kelvane
