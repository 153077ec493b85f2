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
inline constexpr double kRedScale = 1 << 16;    // red value 1.0 (of at most 320): light's scale / 256

// Relative luminance and red value of a 0xFFRRGGBB pixel, in fixed point.
struct PixelLight {
  std::int32_t luminance;
  std::int32_t red;
};

// Per sRGB level, in fixed point: its linear light, and that light's share
// of relative luminance through each channel. Sums of these are exact, so
// a pixel's light is the same however it is reached.
struct LightTables {
  std::int32_t linear[256], red[256], green[256], blue[256];
};
extern const LightTables kLightTables;

inline PixelLight MeasurePixel(std::uint32_t pixel) {
  const LightTables& t = kLightTables;
  const unsigned r8 = (pixel >> 16) & 0xFF, g8 = (pixel >> 8) & 0xFF, b8 = pixel & 0xFF;
  const std::int64_t r = t.linear[r8], g = t.linear[g8], b = t.linear[b8];
  // Saturated red: R / (R + G + B) >= 0.8, that is R >= 4 (G + B); its red
  // value (R - G - B) x 320 goes from the light's scale to the red scale.
  const bool saturated = r > 0 && r >= 4 * (g + b);
  const auto red = saturated ? static_cast<std::int32_t>((r - g - b) * 320 / 256) : 0;
  return {t.red[r8] + t.green[g8] + t.blue[b8], red};
}

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
