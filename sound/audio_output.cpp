#include "sound/audio_output.h"

#include <algorithm>

namespace kelvane {

void RenderStereo(Renderer& renderer, int frames, float* left, float* right) {
  std::fill(left, left + frames, 0.0f);
  std::fill(right, right + frames, 0.0f);
  float* out[2] = {left, right};
  renderer.Render(frames, 2, out, 2, out);
}

}  // namespace kelvane
