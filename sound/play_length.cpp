#include "sound/play_length.h"

#include "sound/midi_templates.h"

namespace kelvane {

// The player's own arithmetic: at each step it takes the whole milliseconds
// since the play started and the tick nearest to them.
std::int64_t PlayEndFrame(int rows, int sampleRate) {
  const double millisecondsPerTick = kTemplateQuarterMicroseconds / 1000.0 / kTemplateTicksPerQuarter;
  const std::int64_t lastTick = std::int64_t{kTemplateRowTicks} * rows;
  const auto tickAt = [&](std::int64_t step) {
    const auto milliseconds = static_cast<long>(1000.0 * static_cast<double>(step * kSynthStepFrames) / sampleRate);
    return static_cast<std::int64_t>(static_cast<double>(milliseconds) / millisecondsPerTick + 0.5);
  };
  // From a little before the last tick's time, a step at a time.
  auto step = static_cast<std::int64_t>(static_cast<double>(lastTick - 1) * millisecondsPerTick * sampleRate / 1000.0 /
                                        kSynthStepFrames);
  while (tickAt(step) >= lastTick) --step;
  while (tickAt(step) < lastTick) ++step;
  return step * kSynthStepFrames;
}

}  // namespace kelvane
