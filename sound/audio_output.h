#pragma once
// Where the synthesizer's sound goes, and what sets its pace. Every output
// pulls blocks from one Renderer: a sound device at the device's pace, a
// silent clock in real time when there is no device, or a manual clock that
// a test advances as fast as it likes.

#include <string>

namespace kelvane {

enum class AudioOutput { Device, SilentClock, ManualClock };

// The synthesizer as the outputs see it.
class Renderer {
 public:
  virtual ~Renderer() = default;
  // Mixes `frames` frames into the zeroed buffers: nout dry channels into
  // out, nfx effect channels into fx (fx may be out itself, which mixes the
  // reverb and chorus into the dry sound). Runs on the output's thread.
  virtual void Render(int frames, int nfx, float** fx, int nout, float** out) = 0;
};

class Output {
 public:
  virtual ~Output() = default;
  // For the one line on standard error, and for tests.
  virtual std::string Name() const = 0;
};

// Renders a stereo block with the effects mixed in, into zeroed buffers.
void RenderStereo(Renderer& renderer, int frames, float* left, float* right);

}  // namespace kelvane
