#pragma once
// The output of tests: nothing renders until the test advances the clock,
// and then as fast as the machine can, the same samples on every run.

#include <vector>

#include "sound/audio_output.h"

namespace kelvane {

class ManualClock : public Output {
 public:
  explicit ManualClock(Renderer& renderer) : renderer_(renderer) {}
  std::string Name() const override { return "manual clock"; }

  // Renders `frames` frames now, appending the stereo samples to left and
  // right when they are given.
  void Advance(int frames, std::vector<float>* left, std::vector<float>* right);

 private:
  Renderer& renderer_;
};

}  // namespace kelvane
