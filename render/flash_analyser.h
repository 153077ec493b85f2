#pragma once
// Measures the frames a session puts on screen against the general-flash and
// red-flash thresholds (WCAG 2.3.1): more than 3 flashes in any second over
// more than a quarter of a 10-degree field of view fails.

#include <memory>

#include "render/flash_report.h"
#include "render/frame.h"

namespace kelvane {

struct FlashRules {
  int fps = 60;
  // A 10-degree field of view on a 1024 x 768 screen seen from the usual
  // distance; another screen or distance needs another field.
  int fieldWidth = 341;
  int fieldHeight = 256;
  int cellSize = 4;  // pixels a side of the cells judged one by one
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
  // Over all frames added so far; fewer than fps frames are one short second.
  FlashReport Report() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kelvane
