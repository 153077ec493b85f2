#pragma once
// A picture of the window as the renderer hands it on: pixels 0xFFRRGGBB,
// row after row, `stride` pixels apart.

#include <cstddef>
#include <cstdint>

namespace kelvane {

struct Frame {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
};

}  // namespace kelvane
