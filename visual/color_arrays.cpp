#include "visual/color_arrays.h"

namespace kelvane {

void SeedTunnelColors(SessionState&) {}

void ClearColorSequence(SessionState& s) {
  for (auto& c : s.ColorSequence()) c = s.NotePalette[7];
}

}  // namespace kelvane
