// The random stream, the start ramp, the note palette, the blackening of the
// sequence and the drift of injected colours.
#include <gtest/gtest.h>

#include "visual/color_arrays.h"
#include "visual/random_source.h"
#include "visual/tunnel.h"

namespace kelvane {
namespace {

// The stream written out from its definition, independent of the code under test.
struct ReferenceStream {
  std::uint64_t state = 1;
  std::int32_t Next(std::int32_t range) {
    state = state * ((std::uint64_t{346} << 32) + 20021) + 1;
    return static_cast<std::int32_t>((state >> 32) & 0x7FFFFFFF) % range;
  }
};

TEST(RandomStream, FollowsTheLinearCongruentialDefinition) {
  SessionState s;
  // First state: 1 x M + 1 = 346 x 2^32 + 20022, whose bits 32..62 are 346.
  EXPECT_EQ(Random(s, 1000), 346);
  EXPECT_EQ(s.randomState, (std::uint64_t{346} << 32) + 20022);
  ReferenceStream ref;
  ref.Next(1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(Random(s, 64), ref.Next(64)) << "draw " << i;
}

TEST(RandomStream, ValuesStayInRangeAndARangeBelowOneGivesZero) {
  SessionState s;
  for (int i = 0; i < 500; ++i) {
    const auto v = Random(s, 25);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 25);
  }
  EXPECT_EQ(Random(s, 0), 0);
  EXPECT_EQ(Random(s, -7), 0);
}

TEST(SeedTunnelColors, StartRampFollowsTheFirstDraws) {
  SessionState s;
  SeedTunnelColors(s);
  const auto ring = s.ColorRing();
  // Draws 346 % 25 = 21, 13854878 % 55 = 48, 1621890440 % 255 = 170, then
  // 28, 22, 22 (each % 64) for slot 1.
  EXPECT_EQ(ring[0], 0xAA3015u);
  EXPECT_EQ(ring[1], 0xAA3015u + 28 + 22 * 256 + 22 * 65536);

  ReferenceStream ref;
  Color expected = ref.Next(25);
  expected |= ref.Next(55) << 8;
  expected |= ref.Next(255) << 16;
  for (int k = 0; k < kRingSlots; ++k) {
    if (k > 0) {
      const Color d1 = ref.Next(64), d2 = ref.Next(64), d3 = ref.Next(64);
      expected += d1 + 256 * d2 + 65536 * d3;
    }
    ASSERT_EQ(ring[k], expected) << "slot " << k;
  }
  EXPECT_EQ(s.randomState, ref.state);
  // 389 steps of up to 63 x 65536 carry the ramp past 24 bits.
  EXPECT_NE(ring[389] >> 24, 0u);
  EXPECT_EQ(s.ColorSequence()[0], ring[389]);
}

TEST(SeedTunnelColors, EveryActivationDrawsANewRampFromTheContinuingStream) {
  SessionState s;
  SeedTunnelColors(s);
  const Color first0 = s.ColorRing()[0];
  SeedTunnelColors(s);
  EXPECT_NE(s.ColorRing()[0], first0);
  // 3 + 389 x 3 draws per ramp.
  ReferenceStream ref;
  for (int i = 0; i < 2 * (3 + 389 * 3); ++i) ref.Next(2);
  EXPECT_EQ(s.randomState, ref.state);
}

TEST(SeedTunnelColors, SetsTheNotePaletteAndLeavesEntryZero) {
  SessionState s;
  s.NotePalette[0] = 0x123456;
  SeedTunnelColors(s);
  const std::array<Color, 14> expected = {0x123456, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
                                          0x000000, 0xB4B4B4, 0x00B4FF, 0xB4FF00, 0xB4B4FF, 0xFFB4B4, 0xFF00B4};
  EXPECT_EQ(s.NotePalette, expected);
}

TEST(ClearColorSequence, BlackensTheSequenceAndThroughTheSharedCellRingSlot389Only) {
  SessionState s;
  SeedTunnelColors(s);
  const auto before = s.ColorRing()[388];
  for (auto& c : s.ColorSequence()) c = 0x777777;
  ClearColorSequence(s);
  for (int n = 0; n < kSequenceEntries; ++n) ASSERT_EQ(s.ColorSequence()[n], 0u) << n;
  EXPECT_EQ(s.ColorRing()[389], 0u);
  EXPECT_EQ(s.ColorRing()[388], before);
}

TEST(DriftColor, AllChannelsDriftFromThePreviousRedByte) {
  SessionState s;
  ReferenceStream ref;
  Color current = 0x00A0B0F0;  // red 0xF0: every channel wraps when a draw is 0x10 or more
  for (int i = 0; i < 50; ++i) {
    const Color red = current & 0xFF;
    const Color d1 = ref.Next(64), d2 = ref.Next(64), d3 = ref.Next(64);
    const Color expected = ((red + d1) & 0xFF) | (((red + d2) & 0xFF) << 8) | (((red + d3) & 0xFF) << 16);
    const Color got = DriftColor(s, current);
    ASSERT_EQ(got, expected) << "step " << i;
    ASSERT_EQ(got >> 24, 0u);
    current = got;
  }
}

TEST(DriftColor, WrapsRedPast255) {
  // The first three draws are 346, 13854878 and 1621890440: % 64 gives 26, 30, 8.
  SessionState s;
  EXPECT_EQ(DriftColor(s, 0xFF0000F0), ((0xF0u + 26) & 0xFF) | (((0xF0u + 30) & 0xFF) << 8) | ((0xF0u + 8) << 16));
}

}  // namespace
}  // namespace kelvane
