#include "sound/manual_clock.h"

#include <algorithm>

namespace kelvane {

// Blocks as small as a sound card's keep the player's timing as it is on a device.
void ManualClock::Advance(int frames, std::vector<float>* left, std::vector<float>* right) {
  constexpr int kBlockFrames = 512;
  float l[kBlockFrames], r[kBlockFrames];
  for (int done = 0; done < frames; done += kBlockFrames) {
    int n = std::min(kBlockFrames, frames - done);
    RenderStereo(renderer_, n, l, r);
    if (left) left->insert(left->end(), l, l + n);
    if (right) right->insert(right->end(), r, r + n);
  }
}

}  // namespace kelvane
