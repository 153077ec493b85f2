#include "render/flash_units.h"

#include <algorithm>
#include <cmath>

namespace kelvane {
namespace {

std::vector<int> Edges(int length, double unit) {
  std::vector<int> edges{0};
  for (int i = 1; edges.back() < length; ++i)
    edges.push_back(std::min(length, std::max(edges.back() + 1, static_cast<int>(std::lround(i * unit)))));
  return edges;
}

std::vector<int> UnitOfPixel(const std::vector<int>& edges) {
  std::vector<int> of(static_cast<std::size_t>(edges.back()));
  for (std::size_t u = 0; u + 1 < edges.size(); ++u)
    std::fill(of.begin() + edges[u], of.begin() + edges[u + 1], static_cast<int>(u));
  return of;
}

LightTables MakeLightTables() {
  LightTables t{};
  for (int i = 0; i < 256; ++i) {
    const double c = i / 255.0;
    const double lin = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    t.linear[i] = static_cast<std::int32_t>(std::lround(lin * kLightScale));
    t.red[i] = static_cast<std::int32_t>(std::lround(0.2126 * lin * kLightScale));
    t.green[i] = static_cast<std::int32_t>(std::lround(0.7152 * lin * kLightScale));
    t.blue[i] = static_cast<std::int32_t>(std::lround(0.0722 * lin * kLightScale));
  }
  return t;
}

}  // namespace

const LightTables kLightTables = MakeLightTables();

UnitGrid::UnitGrid(int w, int h, double unit)
    : width(w),
      height(h),
      unitPixels(unit),
      xEdges(Edges(w, unit)),
      yEdges(Edges(h, unit)),
      colOf(UnitOfPixel(xEdges)),
      rowOf(UnitOfPixel(yEdges)) {
  area.resize(static_cast<std::size_t>(Count()));
  for (int row = 0; row < Rows(); ++row)
    for (int col = 0; col < Cols(); ++col)
      area[static_cast<std::size_t>(row * Cols() + col)] =
          (xEdges[col + 1] - xEdges[col]) * (yEdges[row + 1] - yEdges[row]);
}

}  // namespace kelvane
