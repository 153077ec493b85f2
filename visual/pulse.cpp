#include "visual/pulse.h"

namespace kelvane {

void Timer3Timer(SessionState& s) {
  // Wide arithmetic: 180 +- F and the counter stay exact for any pulseFreq.
  const std::int64_t f = s.pulseFreq / 16;
  if (s.pulseRising == 0) {
    --s.pulseCounter;
    if (s.pulseCounter < 180 - f) s.pulseRising = 1;
  }
  if (s.pulseRising == 1) {
    ++s.pulseCounter;
    if (s.pulseCounter > 180 + f) s.pulseRising = 0;
  }
  s.pulseDivisor = s.pulseCounter;
}

}  // namespace kelvane
