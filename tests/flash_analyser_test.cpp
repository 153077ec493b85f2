// The flash analyser on synthetic frames whose answer is known by hand, and
// the two forms of its report. Luminances quoted are of sRGB greys:
// 90 -> 0.102, 127 -> 0.212, 128 -> 0.216, 228 -> 0.776, 232 -> 0.807,
// 240 -> 0.871; saturated red 255,0,0 is 0.2126 with a red value of 320.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "render/flash_analyser.h"
#include "render/flash_report.h"

namespace kelvane {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr std::uint32_t Rgb(int r, int g, int b) { return 0xFF000000u | r << 16 | g << 8 | b; }
constexpr std::uint32_t Grey(int v) { return Rgb(v, v, v); }
constexpr std::uint32_t kBlack = Grey(0);
constexpr std::uint32_t kWhite = Grey(255);
constexpr std::uint32_t kRed = Rgb(255, 0, 0);

// A 64 x 48 frame judged against a field of its own size.
constexpr FlashRules kSmall{60, 64, 48};
constexpr double kFieldArea = 341.0 * 256;

// At `rate` flashes a second of 60 frames: two states a flash, switching
// where floor(2 rate frame / 60) changes, so every second holds 2 rate switches.
bool On(int frame, int rate) { return 2 * rate * frame / 60 % 2 == 1; }

// Frames painted pixel by pixel, `paint(x, y, frame)`. Rows are 3 pixels
// longer than the frame, and the padding flickers, which must not count.
template <typename Paint>
FlashReport Play(int width, int height, FlashRules rules, int frames, Paint paint) {
  FlashAnalyser analyser(width, height, rules);
  const int stride = width + 3;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(stride) * height);
  for (int f = 0; f < frames; ++f) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < stride; ++x) pixels[y * stride + x] = x < width ? paint(x, y, f) : f % 2 ? kRed : kWhite;
    analyser.AddFrame({pixels.data(), width, height, stride});
  }
  return analyser.Report();
}

template <typename Paint>
FlashReport RunSmall(int seconds, Paint paint) {
  return Play(64, 48, kSmall, seconds * 60, paint);
}

FlashReport Alternating(std::uint32_t on, std::uint32_t off, int rate) {
  return RunSmall(3, [=](int, int, int f) { return On(f, rate) ? on : off; });
}

TEST(FlashAnalyser, FullFieldBlackAndWhiteFailsAboveThreeFlashesASecond) {
  for (const int rate : {2, 3, 4, 10}) {
    const FlashReport r = Alternating(kWhite, kBlack, rate);
    EXPECT_EQ(r.light.fails, rate > 3) << rate;
    EXPECT_EQ(r.light.flashes, rate) << rate;
    EXPECT_DOUBLE_EQ(r.light.share, rate > 3 ? 1.0 : 0.0) << rate;
    EXPECT_FALSE(r.red.fails) << rate;
    EXPECT_EQ(r.Passes(), rate <= 3) << rate;
    EXPECT_EQ(r.frames, 180);
  }
  FlashAnalyser analyser(64, 48, kSmall);
  const std::vector<std::uint32_t> pixels(64 * 48, kBlack);
  EXPECT_THROW(analyser.AddFrame({pixels.data(), 64, 47, 64}), std::invalid_argument);
  EXPECT_THROW(analyser.AddFrame({pixels.data(), 63, 48, 64}), std::invalid_argument);
}

TEST(FlashAnalyser, ALightTransitionNeedsADarkerStateBelowPointEight) {
  const FlashReport darkGrey = Alternating(Grey(127), Grey(90), 5);
  EXPECT_TRUE(darkGrey.light.fails);
  EXPECT_EQ(darkGrey.light.flashes, 5);
  const FlashReport brightGrey = Alternating(Grey(255), Grey(232), 5);
  EXPECT_FALSE(brightGrey.light.fails);
  EXPECT_EQ(brightGrey.light.flashes, 0);

  // 255, 240, 228, four frames each, five times a second: the fall from
  // white qualifies only once it reaches 228, although its last step alone
  // (0.095) is below 0.1; the rise back counts too. 10 transitions a second.
  const FlashReport staircase = RunSmall(3, [](int, int, int f) {
    const int levels[] = {255, 240, 228};
    return Grey(levels[f / 4 % 3]);
  });
  EXPECT_TRUE(staircase.light.fails);
  EXPECT_EQ(staircase.light.flashes, 5);
}

TEST(FlashAnalyser, ARunCountsOnceAndFlickerBelowTheThresholdNever) {
  // 0, 128, 255, 128, three frames each: every step is a transition's size,
  // but a cycle is one rise and one fall, so five flashes a second, not ten.
  const FlashReport steps = RunSmall(3, [](int, int, int f) {
    const int levels[] = {0, 128, 255, 128};
    return Grey(levels[f / 3 % 4]);
  });
  EXPECT_TRUE(steps.light.fails);
  EXPECT_EQ(steps.light.flashes, 5);

  // A slow rise from grey 40 to 200 (0.021 to 0.578) with a flicker of 6
  // every frame (at most 0.023): one transition in the whole run.
  const FlashReport drift = RunSmall(3, [](int, int, int f) { return Grey(40 + f * 160 / 179 + (f % 2 ? 3 : -3)); });
  EXPECT_FALSE(drift.light.fails);
  EXPECT_EQ(drift.light.flashes, 1);
}

TEST(FlashAnalyser, SaturatedRedIsJudgedByItsOwnRule) {
  const FlashReport onBlack = Alternating(kRed, kBlack, 5);
  EXPECT_TRUE(onBlack.red.fails);
  EXPECT_EQ(onBlack.red.flashes, 5);
  EXPECT_TRUE(onBlack.light.fails);

  // Grey 128 is as light as red: only the red rule sees these flashes.
  const FlashReport onGrey = Alternating(kRed, Grey(128), 5);
  EXPECT_TRUE(onGrey.red.fails);
  EXPECT_FALSE(onGrey.light.fails);
  EXPECT_EQ(onGrey.light.flashes, 0);

  // Pink 255,120,120 is red only to 0.73 of its linear light: not saturated red.
  const FlashReport pink = Alternating(Rgb(255, 120, 120), kBlack, 5);
  EXPECT_FALSE(pink.red.fails);
  EXPECT_EQ(pink.red.flashes, 0);
  EXPECT_TRUE(pink.light.fails);
}

TEST(FlashAnalyser, HalvesInOppositePhaseFailThoughTheMeanNeverChanges) {
  const FlashReport r = RunSmall(3, [](int x, int, int f) { return On(f, 10) == (x < 32) ? kWhite : kBlack; });
  EXPECT_TRUE(r.light.fails);
  EXPECT_DOUBLE_EQ(r.light.share, 1.0);
  EXPECT_EQ(r.light.flashes, 10);
}

// A 606 x 456 frame and the real 341 x 256 field, flashing 10 times a second.
FlashReport Patches(std::vector<std::vector<int>> patches, int width = 606, int height = 456) {
  return Play(width, height, FlashRules{}, 61, [&](int x, int y, int f) {
    for (const auto& p : patches)
      if (x >= p[0] && x < p[0] + p[2] && y >= p[1] && y < p[1] + p[3]) return On(f, 10) ? kWhite : kBlack;
    return kBlack;
  });
}

TEST(FlashAnalyser, AnAreaFailsOverMoreThanAQuarterOfOneFieldCountedInPixels) {
  const FlashReport fifth = Patches({{100, 100, 172, 100}});
  EXPECT_FALSE(fifth.light.fails);
  EXPECT_DOUBLE_EQ(fifth.light.share, 172 * 100 / kFieldArea);
  EXPECT_EQ(fifth.light.flashes, 10);

  // Exactly a quarter passes; 27 % fails. The patches' edges cut units of
  // 0.1 degree, so only their own pixels may count.
  const FlashReport quarter = Patches({{131, 57, 341, 64}});
  EXPECT_FALSE(quarter.light.fails);
  EXPECT_DOUBLE_EQ(quarter.light.share, 0.25);
  const FlashReport more = Patches({{131, 57, 341, 69}});
  EXPECT_TRUE(more.light.fails);
  EXPECT_DOUBLE_EQ(more.light.share, 341 * 69 / kFieldArea);

  // 30% of a field in all, but no field holds more than one of the two.
  const FlashReport apart = Patches({{0, 0, 100, 132}, {500, 300, 100, 132}});
  EXPECT_FALSE(apart.light.fails);
  EXPECT_DOUBLE_EQ(apart.light.share, 100 * 132 / kFieldArea);

  // Frames smaller than the field: the rest of the field does not flash.
  const FlashReport small = Patches({{0, 0, 160, 120}}, 160, 120);
  EXPECT_FALSE(small.light.fails);
  EXPECT_DOUBLE_EQ(small.light.share, 160 * 120 / kFieldArea);
  const FlashReport larger = Patches({{0, 0, 200, 150}}, 200, 150);
  EXPECT_TRUE(larger.light.fails);
  EXPECT_DOUBLE_EQ(larger.light.share, 200 * 150 / kFieldArea);
}

// A checkerboard of `square` pixels turning over 10 times a second.
std::uint32_t Board(int x, int y, int f, int square) { return ((x / square + y / square) % 2 == 0) == On(f, 5) ? kWhite : kBlack; }

TEST(FlashAnalyser, FineBalancedPatternsUnderATenthOfADegreeDoNotCount) {
  // At 341 pixels to 10 degrees, 0.1 degree is 3.41 pixels.
  std::uint32_t noise = 12345;
  const FlashReport pixelNoise = Play(341, 256, FlashRules{}, 120, [&](int, int, int) {
    noise = noise * 1103515245u + 12345u;
    return (noise >> 16) & 1 ? kWhite : kBlack;
  });
  EXPECT_FALSE(pixelNoise.light.fails) << pixelNoise.light.share;
  for (const int square : {2, 3}) {
    const FlashReport fine = Play(341, 256, FlashRules{}, 120, [=](int x, int y, int f) { return Board(x, y, f, square); });
    EXPECT_FALSE(fine.light.fails) << square << " px: " << fine.light.share;
  }
  // From 0.1 degree up, a board is flashing light: 4 pixels already.
  for (const int square : {4, 12}) {
    const FlashReport coarse = Play(341, 256, FlashRules{}, 120, [=](int x, int y, int f) { return Board(x, y, f, square); });
    EXPECT_TRUE(coarse.light.fails) << square << " px: " << coarse.light.share;
    EXPECT_GT(coarse.light.share, 0.5) << square << " px";
  }
  // The angle follows the field: a field twice as wide makes 3-pixel squares 0.05 degree.
  const FlashReport finerStill = Play(341, 256, FlashRules{60, 682, 512}, 120, [](int x, int y, int f) { return Board(x, y, f, 6); });
  EXPECT_FALSE(finerStill.light.fails) << finerStill.light.share;
}

TEST(FlashAnalyser, TheWorstSecondIsFoundAndAShortRunIsOneSecond) {
  // Dark for 5 s, then a switch every frame for 2 s, then dark for 1 s: the
  // second from 5.0 s is the first to hold 60 transitions.
  const FlashReport late =
      RunSmall(8, [](int, int, int f) { return f >= 300 && f < 420 && f % 2 == 0 ? kWhite : kBlack; });
  EXPECT_TRUE(late.light.fails);
  EXPECT_DOUBLE_EQ(late.light.worstSecond, 5.0);
  EXPECT_EQ(late.light.flashes, 30);
  EXPECT_EQ(late.red.flashes, 0);
  EXPECT_DOUBLE_EQ(late.red.worstSecond, 0.0);

  // Half a second at 10 flashes a second: 9 transitions (the first frame
  // has none before it), more than 6.
  const FlashReport half = Play(64, 48, kSmall, 30, [](int, int, int f) { return On(f, 10) ? kWhite : kBlack; });
  EXPECT_TRUE(half.light.fails);
  EXPECT_EQ(half.light.flashes, 5);
  EXPECT_EQ(half.frames, 30);
}

TEST(FlashReport, TextForPeopleAndJsonForPrograms) {
  FlashReport r;
  r.light = {true, 65.25, 4, 0.4};
  r.frames = 7830;
  const std::string text = FlashReportText(r, "Tide");
  EXPECT_THAT(text, StartsWith("FAIL"));
  EXPECT_THAT(text, HasSubstr("General flash: FAIL, worst second at 1:05.3: 4 flashes over 40.0% of the field"));
  EXPECT_THAT(text, HasSubstr("Red flash:     pass, worst second at 0:00.0: 0 flashes over 0.0% of the field"));
  EXPECT_THAT(text, HasSubstr("more than 3 flashes a second over more than 25% of a 341 x 256 field"));
  EXPECT_THAT(text, HasSubstr("7830 frames at 60 fps (2:10.5)"));
  EXPECT_THAT(FlashReportText(FlashReport{}, "Tide"), StartsWith("PASS"));

  EXPECT_EQ(FlashReportJson(r, "Tide \"A\"\\ 1\n\x01"),
            "{\"session\":\"Tide \\\"A\\\"\\\\ 1\\n\\u0001\",\"passes\":false,\"frames\":7830,\"fps\":60,"
            "\"seconds\":130.5,\"fieldWidth\":341,\"fieldHeight\":256,\"mostShare\":0.25,"
            "\"light\":{\"fails\":true,\"worstSecond\":65.25,\"flashes\":4,\"share\":0.4},"
            "\"red\":{\"fails\":false,\"worstSecond\":0,\"flashes\":0,\"share\":0},"
            "\"worstCase\":\"\",\"failingSeconds\":0,\"failing\":[]}");
}

}  // namespace
}  // namespace kelvane
