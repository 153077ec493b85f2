// The pulse oscillator: the divisor's climb from start-up, its period and
// its behaviour for small, negative and large pulse frequencies.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "visual/pulse.h"

namespace kelvane {
namespace {

std::vector<std::int32_t> Pulse(SessionState& s, int ticks) {
  std::vector<std::int32_t> out;
  for (int i = 0; i < ticks; ++i) {
    Timer3Timer(s);
    out.push_back(s.pulseDivisor);
  }
  return out;
}

TEST(Timer3Timer, ClimbsFromTheStartValueOnePerTick) {
  SessionState s;  // pulseFreq 1000, counter 1, rising
  const auto d = Pulse(s, 242);
  for (int i = 0; i < 242; ++i) ASSERT_EQ(d[i], i + 2) << "tick " << i + 1;
  // 181 + F = 243 is first reached after 180 + F = 242 ticks.
  EXPECT_EQ(d.back(), 243);
  EXPECT_EQ(s.pulseRising, 0);
}

TEST(Timer3Timer, DefaultFrequencyBreathesBetween118And243Every251Ticks) {
  SessionState s;
  Pulse(s, 242);
  const auto d = Pulse(s, 3 * 251);
  EXPECT_EQ(*std::min_element(d.begin(), d.end()), 118);
  EXPECT_EQ(*std::max_element(d.begin(), d.end()), 243);
  for (std::size_t i = 0; i + 251 < d.size(); ++i) ASSERT_EQ(d[i], d[i + 251]) << i;
  // Down from 243 by one per tick to 118, which shows twice, then up again.
  for (int i = 0; i < 125; ++i) ASSERT_EQ(d[i], 242 - i) << i;
  EXPECT_EQ(d[124], 118);
  EXPECT_EQ(d[125], 118);
  EXPECT_EQ(d[126], 119);
  EXPECT_EQ(d[249], 242);
  EXPECT_EQ(d[250], 243);
  EXPECT_EQ(std::count(d.begin(), d.begin() + 251, 243), 1);
  EXPECT_EQ(std::count(d.begin(), d.begin() + 251, 118), 2);
  EXPECT_EQ(std::count(d.begin(), d.begin() + 251, 200), 2);
}

TEST(Timer3Timer, ZeroFTurnsAt180) {
  for (const std::int32_t freq : {0, 15, -15}) {  // -15 / 16 is 0: division truncates toward zero
    SessionState s;
    s.pulseFreq = freq;
    Pulse(s, 400);
    const auto d = Pulse(s, 9);
    const std::vector<std::int32_t> cycle = {181, 180, 180};
    for (int i = 0; i < 9; ++i) {
      const auto phase = std::find(d.begin(), d.end(), 181) - d.begin();
      ASSERT_EQ(d[i], cycle[(i - phase + 9) % 3]) << "freq " << freq << " tick " << i;
    }
  }
}

TEST(Timer3Timer, NegativeFStopsTheDivisorWhereTheCounterFirstTurns) {
  SessionState s;
  s.pulseFreq = -100;  // F = -6
  const auto d = Pulse(s, 600);
  EXPECT_EQ(d[173], 175);  // 181 + F
  for (std::size_t i = 173; i < d.size(); ++i) ASSERT_EQ(d[i], 175) << i;
}

TEST(Timer3Timer, ANewFrequencyActsFromWhereTheCounterStands) {
  SessionState s;
  Pulse(s, 99);  // counter 100, rising
  s.pulseFreq = 160;  // F = 10: turns above 190
  const auto d = Pulse(s, 130);
  EXPECT_EQ(d[0], 101);
  EXPECT_EQ(d[90], 191);
  EXPECT_EQ(*std::max_element(d.begin(), d.end()), 191);
  EXPECT_EQ(d[111], 170);
  EXPECT_EQ(d[112], 170);
  EXPECT_EQ(d[113], 171);
}

TEST(Timer3Timer, LargeFrequenciesPassThroughZeroAndNegativeDivisors) {
  SessionState s;
  s.pulseFreq = 3000;  // F = 187
  EXPECT_EQ(Pulse(s, 367).back(), 368);
  const auto d = Pulse(s, 400);
  EXPECT_NE(std::find(d.begin(), d.end(), 0), d.end());
  EXPECT_EQ(*std::min_element(d.begin(), d.end()), -7);
}

TEST(Timer3Timer, TheLargestFrequencyKeepsCounting) {
  SessionState s;
  s.pulseFreq = std::numeric_limits<std::int32_t>::max();
  s.pulseCounter = 180 + s.pulseFreq / 16;  // at the top
  s.pulseRising = 1;
  Timer3Timer(s);
  EXPECT_EQ(s.pulseRising, 0);
  EXPECT_EQ(s.pulseDivisor, 180 + s.pulseFreq / 16 + 1);
  Timer3Timer(s);
  EXPECT_EQ(s.pulseDivisor, 180 + s.pulseFreq / 16);
}

}  // namespace
}  // namespace kelvane
