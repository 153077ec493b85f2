// The stimulus area: corners, centre, brush, the three frames and the clip.
#include <gtest/gtest.h>

#include <limits>

#include "tests/fakes/fake_surface.h"
#include "visual/stimulus_area.h"

namespace kelvane {
namespace {

using testing::FakeSurface;
using testing::Recorder;

struct AreaTest : ::testing::Test {
  std::vector<Rect> Frames() const {
    std::vector<Rect> out;
    for (const auto& f : surface.frames) out.push_back(f.rect);
    return out;
  }
  SessionState s;
  Recorder log;
  FakeSurface surface{log};
};

TEST_F(AreaTest, SetUpFramesThreeRectanglesInTheSessionColourAndClipsTheArea) {
  s.areaX1 = 100, s.areaY1 = 60, s.areaX2 = 700, s.areaY2 = 510;
  s.colorR = 0x12, s.colorG = 0x34, s.colorB = 0x56;
  SetUpStimulusArea(s, surface);
  EXPECT_EQ(s.areaTopLeft, (Point{100, 60}));
  EXPECT_EQ(s.areaBottomRight, (Point{700, 510}));
  EXPECT_EQ(s.areaCentre, (Point{400, 285}));
  EXPECT_EQ(Frames(), (std::vector<Rect>{{100, 60, 700, 510}, {99, 59, 701, 511}, {98, 58, 702, 512}}));
  for (const auto& f : surface.frames) EXPECT_EQ(f.color, 0x563412u);
  EXPECT_EQ(s.frameRect, (Rect{98, 58, 702, 512}));
  EXPECT_EQ(s.clipRegion, (Rect{100, 60, 700, 510}));
  EXPECT_EQ(surface.brushColor, 0x563412u);
}

TEST_F(AreaTest, OnlyTheLowByteOfEachComponentMakesTheBrush) {
  s.colorR = -1, s.colorG = 0x1FF, s.colorB = 256;
  SetUpStimulusArea(s, surface);
  EXPECT_EQ(surface.brushColor, 0x00FFFFu);
}

TEST_F(AreaTest, CentreTruncatesTowardZeroAndReversedCornersStayAsGiven) {
  s.areaX1 = 10, s.areaX2 = 15, s.areaY1 = 15, s.areaY2 = 10;
  SetUpStimulusArea(s, surface);
  EXPECT_EQ(s.areaCentre, (Point{12, 13}));
  EXPECT_EQ(s.areaTopLeft, (Point{10, 15}));
  EXPECT_EQ(s.clipRegion, (Rect{10, 15, 15, 10}));
  EXPECT_EQ(Frames()[2], (Rect{8, 13, 17, 12}));
}

TEST_F(AreaTest, FrameBeforeAnySetUpDrawsAroundTheWindowCorner) {
  surface.SetBrushColor(0x0000FF);
  DrawAreaFrame(s, surface);
  EXPECT_EQ(Frames(), (std::vector<Rect>{{0, 0, 0, 0}, {-1, -1, 1, 1}, {-2, -2, 2, 2}}));
  EXPECT_EQ(surface.frames[2].color, 0x0000FFu);
  EXPECT_FALSE(s.clipRegion.has_value());
}

TEST_F(AreaTest, FrameUsesTheCurrentCornersAndBrush) {
  s.areaX1 = 1, s.areaY1 = 2, s.areaX2 = 3, s.areaY2 = 4;
  SetUpStimulusArea(s, surface);
  surface.frames.clear();
  s.areaTopLeft = {}, s.areaBottomRight = {};  // a load zeroes the corners, not the clip
  DrawAreaFrame(s, surface);
  EXPECT_EQ(Frames()[0], (Rect{0, 0, 0, 0}));
  EXPECT_EQ(s.clipRegion, (Rect{1, 2, 3, 4}));
}

TEST_F(AreaTest, ExtremeCoordinatesNeitherOverflowNorWrap) {
  constexpr auto lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
  s.areaX1 = lo, s.areaY1 = hi, s.areaX2 = hi, s.areaY2 = lo;
  SetUpStimulusArea(s, surface);
  EXPECT_EQ(s.areaCentre, (Point{-1, 0}));  // lo + (2^32 - 1) / 2 and hi + (-(2^32 - 1)) / 2
  EXPECT_EQ(Frames()[2], (Rect{lo, hi - 2, hi, lo + 2}));
}

}  // namespace
}  // namespace kelvane
