#pragma once
// Measures a run of pictures against the general-flash and red-flash
// thresholds of WCAG 2.3.1: more than 3 flashes in any one second over more
// than a quarter of any 10-degree field of view fails. Flashing that is a
// fine, balanced pattern (elements under 0.1 degree, its light and dark
// parts changing places) does not count.

#include <memory>

#include "render/flash_report.h"
#include "render/frame.h"

namespace kelvane {

struct FlashRules {
  double fps = 60;
  // A 10-degree field of view in pixels: 341 x 256 on a 1024 x 768 screen
  // seen from the usual distance. Everything that stands for an angle
  // follows its width: 0.1 degree is a hundredth of it.
  int fieldWidth = 341;
  int fieldHeight = 256;
};

class FlashAnalyser {
 public:
  // Throws std::invalid_argument on a size or rule below 1.
  FlashAnalyser(int width, int height, FlashRules rules = {});
  ~FlashAnalyser();
  FlashAnalyser(FlashAnalyser&&) noexcept;
  FlashAnalyser& operator=(FlashAnalyser&&) noexcept;

  // Throws std::invalid_argument on a frame of another size or without pixels.
  void AddFrame(const Frame& frame);
  // Over all frames added so far; fewer than a second's frames are one short second.
  FlashReport Report() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kelvane
