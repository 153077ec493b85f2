// The tunnel tick: square geometry, pen order, the colour ring's flow and
// the injected colours, on a recording surface.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/fakes/fake_surface.h"
#include "visual/tunnel.h"

namespace kelvane {
namespace {

using testing::FakeSurface;
using testing::Recorder;
using Points = std::vector<Point>;

// The random stream from its definition, to predict drifted colours.
struct ReferenceStream {
  std::uint64_t state = 1;
  Color Next64() {
    state = state * ((std::uint64_t{346} << 32) + 20021) + 1;
    return static_cast<Color>(((state >> 32) & 0x7FFFFFFF) % 64);
  }
  Color Drift(Color c) {
    const Color red = c & 0xFF, d1 = Next64(), d2 = Next64(), d3 = Next64();
    return ((red + d1) & 0xFF) | (((red + d2) & 0xFF) << 8) | (((red + d3) & 0xFF) << 16);
  }
};

class TunnelTest : public ::testing::Test {
 protected:
  TunnelTest() {
    s.areaCentre = {400, 300};
    s.clipRegion = Rect{100, 60, 700, 510};
    for (int k = 0; k < kRingSlots; ++k) s.ColorRing()[k] = 0x100000 + k;
    for (int n = 1; n < kSequenceEntries; ++n) s.ColorSequence()[n] = 0x200000 + n;
  }
  void Tick() {
    surface.lines.clear();
    Timer2Timer(s, surface);
  }
  SessionState s;
  Recorder log;
  FakeSurface surface{log};
};

TEST_F(TunnelTest, WorkedSquares) {
  Tick();
  ASSERT_EQ(surface.lines.size(), 390u);
  EXPECT_EQ(surface.lines[0].points, (Points{{150, 225}, {225, 225}, {225, 150}, {150, 150}, {150, 225}}));
  EXPECT_EQ(surface.lines[1].points, (Points{{180, 188}, {251, 176}, {238, 104}, {167, 117}, {180, 188}}));
  for (const auto& line : surface.lines) {
    ASSERT_EQ(line.origin, (Point{400, 300}));
    ASSERT_EQ(line.clip, s.clipRegion);
    ASSERT_EQ(line.width, 2);  // density
  }
  EXPECT_EQ(surface.penWidth, 1);
}

TEST_F(TunnelTest, SquareZeroDoesNotDependOnTheDivisors) {
  for (const auto& [pulse, vertical] : {std::pair{118, 243}, std::pair{0, 0}, std::pair{-5, 7}}) {
    s.pulseDivisor = pulse;
    s.geoVertical = vertical;
    Tick();
    EXPECT_EQ(surface.lines[0].points, (Points{{150, 225}, {225, 225}, {225, 150}, {150, 150}, {150, 225}}));
  }
}

// The squares from their definition, for any divisors. Ticks with changing
// divisors in one process catch geometry kept from an earlier tick.
TEST_F(TunnelTest, EveryTickFollowsTheDivisorsOfThatTick) {
  for (const auto& [pulse, vertical] : {std::pair{180, 180}, std::pair{118, 180}, std::pair{243, 170}, std::pair{180, 180}}) {
    s.pulseDivisor = pulse;
    s.geoVertical = vertical;
    Tick();
    float scale = 1.5f;
    for (int k = 0; k < kRingSlots; ++k) {
      const double angle = 10.0 * k;
      const auto a = static_cast<float>(std::cos(angle * 3.141592653589793 / pulse) * scale);
      const auto b = static_cast<float>(std::sin(angle * 3.141592653589793 / vertical) * scale);
      for (std::size_t i = 0; i < 5; ++i) {
        const double x = s.tunnelShape[i].x, y = s.tunnelShape[i].y;
        const Point expected{static_cast<std::int32_t>(std::trunc(x * a + y * b)),
                             static_cast<std::int32_t>(std::trunc(y * a - x * b))};
        ASSERT_EQ(surface.lines[k].points[i], expected) << "divisors " << pulse << "/" << vertical << ", square " << k;
      }
      scale = static_cast<float>(scale * 0.965);
    }
  }
}

TEST_F(TunnelTest, TruncatesTowardZero) {
  s.geoVertical = 0;  // zero divisor: sine angle 0, so B = 0
  s.pulseDivisor = 180;
  // Angle 180 of 180: cos = -1, so x = trunc(-0.789 X), e.g. -78.9 -> -78.
  DrawTunnelSquare(s, surface, 0.789f, 180);
  EXPECT_EQ(surface.lines.back().points, (Points{{-78, -118}, {-118, -118}, {-118, -78}, {-78, -78}, {-78, -118}}));
  DrawTunnelSquare(s, surface, 0.007f, 0);  // 0.7 -> 0, 1.05 -> 1
  EXPECT_EQ(surface.lines.back().points, (Points{{0, 1}, {1, 1}, {1, 0}, {0, 0}, {0, 1}}));
  DrawTunnelSquare(s, surface, 0.007f, 180);  // -0.7 -> 0, not -1
  EXPECT_EQ(surface.lines.back().points, (Points{{0, -1}, {-1, -1}, {-1, 0}, {0, 0}, {0, -1}}));
}

TEST_F(TunnelTest, ZeroDivisorsGiveUnturnedSquares) {
  s.pulseDivisor = 0;
  s.geoVertical = 0;
  Tick();
  const float scale = static_cast<float>(1.5f * 0.965);
  const auto t = [&](int v) { return static_cast<std::int32_t>(std::trunc(v * static_cast<double>(scale))); };
  EXPECT_EQ(surface.lines[1].points, (Points{{t(100), t(150)}, {t(150), t(150)}, {t(150), t(100)},
                                             {t(100), t(100)}, {t(100), t(150)}}));
}

TEST_F(TunnelTest, FormOneCollapsesTheTunnelAndOtherFormsShrinkSlowly) {
  const Points centre(5, Point{0, 0});
  Tick();
  EXPECT_EQ(surface.lines[389].points, centre);
  for (const int form : {0, 2, -1}) {
    s.form = form;
    Tick();
    EXPECT_NE(surface.lines[389].points, centre) << form;
    // Scale 1.5 x 0.99^389 is about 0.03: the last square is a few pixels.
    for (const auto& p : surface.lines[389].points) EXPECT_LE(std::abs(p.x) + std::abs(p.y), 20);
  }
}

TEST_F(TunnelTest, PenColoursInForwardAndReversedOrder) {
  for (const int phase : {0, 2, -1}) {
    s.pulsePhase = phase;
    const auto ring = std::vector<Color>(s.ColorRing().begin(), s.ColorRing().end());
    Tick();
    EXPECT_EQ(surface.lines[0].color, 0xFFFFFFu);
    for (int k = 1; k < kRingSlots; ++k) ASSERT_EQ(surface.lines[k].color, ring[k - 1]) << k;
  }
  s.pulsePhase = 1;
  s.ColorSequence()[0] = 0x0000FF;  // the first note's colour: ring slot 389
  const auto ring = std::vector<Color>(s.ColorRing().begin(), s.ColorRing().end());
  Tick();
  EXPECT_EQ(surface.lines[0].color, 0xFFFFFFu);
  EXPECT_EQ(surface.lines[1].color, 0x0000FFu);
  for (int k = 1; k < kRingSlots; ++k) ASSERT_EQ(surface.lines[k].color, ring[390 - k]) << k;
}

TEST_F(TunnelTest, TheRingAdvancesOneSlotAndKeepsSlot389) {
  s.injectColor = 0xABCDEF;
  s.ColorSequence()[0] = 0x0000FF;
  const auto before = std::vector<Color>(s.ColorRing().begin(), s.ColorRing().end());
  Tick();
  EXPECT_EQ(s.ColorRing()[0], 0xABCDEFu);
  for (int k = 1; k < 389; ++k) ASSERT_EQ(s.ColorRing()[k], before[k - 1]) << k;
  EXPECT_EQ(s.ColorRing()[389], 0x0000FFu);
}

// The colour injected at every tick of a cycle, by t = 1..390.
std::vector<Color> InjectedOverOneCycle(SessionState& s, FakeSurface& surface) {
  std::vector<Color> out;
  for (int t = 1; t <= 390; ++t) {
    Timer2Timer(s, surface);
    surface.lines.clear();
    out.push_back(s.injectColor);
  }
  return out;
}

TEST_F(TunnelTest, OneNoteRowInjectsEntries1To12ThenDrifts) {
  s.colorSequenceLength = 13;
  ReferenceStream ref;
  const auto injected = InjectedOverOneCycle(s, surface);
  for (int t = 1; t <= 12; ++t) ASSERT_EQ(injected[t - 1], 0x200000u + t) << t;
  Color expected = 0x20000C;
  for (int t = 13; t <= 390; ++t) {
    expected = ref.Drift(expected);
    ASSERT_EQ(injected[t - 1], expected) << t;
  }
  EXPECT_EQ(s.tickIndex, 0);
  EXPECT_EQ(s.randomState, ref.state);
  // The next cycle starts again at entry 1.
  Tick();
  EXPECT_EQ(s.injectColor, 0x200001u);
  EXPECT_EQ(s.tickIndex, 1);
}

TEST_F(TunnelTest, AFullSequenceInjectsEntries1To389AndOneDrift) {
  for (const std::int64_t length : {std::int64_t{390}, std::int64_t{13 * 31}, std::int64_t{13} * 1000000000}) {
    SessionState fresh = s;
    fresh.colorSequenceLength = length;
    ReferenceStream ref;
    const auto injected = InjectedOverOneCycle(fresh, surface);
    for (int t = 1; t <= 389; ++t) ASSERT_EQ(injected[t - 1], 0x200000u + t) << t;
    // Entry 390 does not exist: t = 390 always drifts.
    EXPECT_EQ(injected[389], ref.Drift(0x200000 + 389)) << length;
  }
}

TEST_F(TunnelTest, NoSequenceMeansEveryTickDrifts) {
  for (const int length : {0, 1, -13}) {
    SessionState fresh = s;
    fresh.colorSequenceLength = length;
    fresh.injectColor = 0x0000F0;
    ReferenceStream ref;
    Color expected = 0x0000F0;
    const auto injected = InjectedOverOneCycle(fresh, surface);
    for (int t = 1; t <= 390; ++t) {
      expected = ref.Drift(expected);
      ASSERT_EQ(injected[t - 1], expected) << "length " << length << " t " << t;
    }
  }
}

TEST_F(TunnelTest, AnInjectedColourShowsOnSquareOneTwoTicksLaterAndMovesInwards) {
  s.colorSequenceLength = 13;
  s.ColorSequence()[0] = 0x0000FF;
  Tick();  // injects entry 1
  Tick();  // entry 1 enters slot 0
  Tick();
  EXPECT_EQ(surface.lines[1].color, 0x200001u);
  Tick();
  EXPECT_EQ(surface.lines[1].color, 0x200002u);
  EXPECT_EQ(surface.lines[2].color, 0x200001u);
  // The first note's colour is never injected, only seen in slot 389.
  for (int i = 0; i < 400; ++i) {
    Tick();
    ASSERT_NE(s.injectColor, 0x0000FFu);
    ASSERT_EQ(s.ColorRing()[389], 0x0000FFu);
  }
}

}  // namespace
}  // namespace kelvane
