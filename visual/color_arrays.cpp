#include "visual/color_arrays.h"

#include "visual/random_source.h"

namespace kelvane {
namespace {
constexpr std::array<Color, kPaletteEntries> kNotePalette = {
    0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
    0x000000, 0xB4B4B4, 0x00B4FF, 0xB4FF00, 0xB4B4FF, 0xFFB4B4, 0xFF00B4};
}  // namespace

void SeedTunnelColors(SessionState& s) {
  auto ring = s.ColorRing();
  const auto r = static_cast<Color>(Random(s, 25));
  const auto g = static_cast<Color>(Random(s, 55));
  const auto b = static_cast<Color>(Random(s, 255));
  ring[0] = r | (g << 8) | (b << 16);
  for (int k = 1; k < kRingSlots; ++k) {
    const auto d1 = static_cast<Color>(Random(s, 64));
    const auto d2 = static_cast<Color>(Random(s, 64));
    const auto d3 = static_cast<Color>(Random(s, 64));
    // One 32-bit addition: carries run from byte to byte and past bit 23, so
    // the ramp's later colours have a non-zero high byte.
    ring[k] = ring[k - 1] + (d1 + 256 * d2 + 65536 * d3);
  }
  for (int i = 1; i < kPaletteEntries; ++i) s.NotePalette[i] = kNotePalette[i];
}

void ClearColorSequence(SessionState& s) {
  // Through the shared cell this also blackens ring slot 389.
  for (auto& c : s.ColorSequence()) c = s.NotePalette[7];
}

}  // namespace kelvane
