// The rasteriser: pixel sets of thin and wide lines, clipping, frames and
// the decided edge cases (pen widths, reversed rectangles, far coordinates).
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "visual/raster.h"

namespace kelvane {
namespace {

constexpr std::uint32_t kBackground = 0x11111111, kInk = 0xFFABCDEF;

struct Canvas {
  Canvas(int w, int h, int padding = 3) : width(w), height(h), stride(w + padding), pixels(stride * h, kBackground) {}
  PixelBuffer Buffer() { return {pixels.data(), width, height, stride}; }
  bool Inked(int x, int y) const { return pixels[y * stride + x] == kInk; }
  int Count() const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += Inked(x, y);
    return n;
  }
  bool PaddingUntouched() const {
    for (int y = 0; y < height; ++y)
      for (int x = width; x < stride; ++x)
        if (pixels[y * stride + x] != kBackground) return false;
    return true;
  }
  int width, height;
  std::ptrdiff_t stride;
  std::vector<std::uint32_t> pixels;
};

void Draw(Canvas& c, std::vector<Point> pts, int width, std::optional<Rect> clip = std::nullopt, Point origin = {}) {
  auto b = c.Buffer();
  DrawPolyline(b, ClipToBuffer(b, clip), pts.data(), static_cast<int>(pts.size()), origin, width, kInk);
}

TEST(Raster, OnePixelSquareOutlineHasEachPixelOfItsPerimeter) {
  Canvas c(40, 40);
  Draw(c, {{10, 30}, {30, 30}, {30, 10}, {10, 10}, {10, 30}}, 1);
  EXPECT_EQ(c.Count(), 80);
  for (int i = 10; i <= 30; ++i) {
    EXPECT_TRUE(c.Inked(i, 10) && c.Inked(i, 30) && c.Inked(10, i) && c.Inked(30, i)) << i;
  }
  EXPECT_FALSE(c.Inked(20, 20));
}

TEST(Raster, ThinDiagonalIsOnePixelPerStep) {
  Canvas c(40, 40);
  Draw(c, {{2, 3}, {32, 13}}, 1);
  EXPECT_EQ(c.Count(), 31);
  for (int x = 2; x <= 32; ++x) EXPECT_TRUE(c.Inked(x, 3 + (x - 2 + 1) / 3)) << x;
}

TEST(Raster, WidePenCoversItsWidthAcrossAndRoundsTheEnds) {
  for (const int w : {2, 3, 5, 8}) {
    Canvas c(60, 40);
    Draw(c, {{10, 20}, {50, 20}}, w);
    int across = 0;
    for (int y = 0; y < 40; ++y) across += c.Inked(30, y);
    EXPECT_EQ(across, w) << w;
    // Round cap: the end reaches about w/2 beyond the point on the axis but
    // not at the corners of a square cap.
    if (w >= 5) {
      EXPECT_TRUE(c.Inked(50 + w / 2 - 1, 20)) << w;
      EXPECT_FALSE(c.Inked(50 + w / 2, 20 - w / 2)) << w;
    }
    EXPECT_FALSE(c.Inked(50 + w / 2 + 1, 20)) << w;
  }
}

TEST(Raster, NothingOutsideTheClipOrTheBuffer) {
  Canvas c(50, 50);
  Draw(c, {{-100, -100}, {200, 200}, {-100, 200}, {200, -100}}, 7, Rect{10, 12, 30, 40});
  EXPECT_GT(c.Count(), 0);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      if (x < 10 || x >= 30 || y < 12 || y >= 40) { ASSERT_FALSE(c.Inked(x, y)) << x << "," << y; }
    }
  EXPECT_TRUE(c.PaddingUntouched());
}

TEST(Raster, AReversedClipIsNormalised) {
  Canvas a(50, 50), b(50, 50);
  Draw(a, {{0, 0}, {49, 49}}, 3, Rect{10, 12, 30, 40});
  Draw(b, {{0, 0}, {49, 49}}, 3, Rect{30, 40, 10, 12});
  EXPECT_EQ(a.pixels, b.pixels);
}

TEST(Raster, AnEmptyClipDrawsNothing) {
  Canvas c(20, 20);
  Draw(c, {{0, 0}, {19, 19}}, 1, Rect{0, 0, 0, 0});
  Draw(c, {{0, 0}, {19, 19}}, 1, Rect{25, 25, 40, 40});
  EXPECT_EQ(c.Count(), 0);
}

TEST(Raster, WidthsBelowOneDrawOnePixelAndHugeWidthsAreCapped) {
  Canvas one(30, 30);
  Draw(one, {{5, 5}, {25, 9}}, 1);
  for (const int w : {0, -3, std::numeric_limits<int>::min()}) {
    Canvas c(30, 30);
    Draw(c, {{5, 5}, {25, 9}}, w);
    EXPECT_EQ(c.pixels, one.pixels) << w;
  }
  Canvas huge(200, 200);
  Draw(huge, {{100, 100}, {100, 100}}, std::numeric_limits<int>::max());
  EXPECT_TRUE(huge.Inked(100, 100 + kMaxPenWidth / 2 - 1));
  EXPECT_FALSE(huge.Inked(100, 100 + kMaxPenWidth / 2 + 1));
  EXPECT_FALSE(huge.Inked(0, 0));
}

TEST(Raster, FarCoordinatesAreClippedWithoutOverflow) {
  constexpr auto hi = std::numeric_limits<std::int32_t>::max(), lo = std::numeric_limits<std::int32_t>::min();
  Canvas c(40, 40);
  Draw(c, {{lo, 5}, {hi, 5}}, 1);
  for (int x = 0; x < 40; ++x) EXPECT_TRUE(c.Inked(x, 5)) << x;
  // Origin plus point pass 32 bits: from (-1,-1) down the diagonal, and along y = -1.
  Draw(c, {{lo, lo}, {hi, hi}}, 1, std::nullopt, Point{hi, hi});
  Draw(c, {{lo, lo}, {hi, lo}}, 3, std::nullopt, Point{0, hi});
  for (int x = 0; x < 40; ++x) EXPECT_TRUE(c.Inked(x, x) && c.Inked(x, 0)) << x;
  EXPECT_FALSE(c.Inked(2, 1));
  EXPECT_EQ(c.Count(), 3 * 40 - 2);  // three lines crossing twice
  EXPECT_TRUE(c.PaddingUntouched());
}

TEST(Raster, RandomPolylinesNeverWriteOutsideTheClip) {
  std::mt19937 random(7);
  constexpr auto hi = std::numeric_limits<std::int32_t>::max(), lo = std::numeric_limits<std::int32_t>::min();
  auto coordinate = [&] {
    switch (random() % 8) {
      case 0: return static_cast<std::int32_t>(random() % 2000) - 1000;
      case 1: return random() % 2 ? hi : lo;
      case 2: return static_cast<std::int32_t>(random());
      default: return static_cast<std::int32_t>(random() % 80) - 20;  // near the buffer
    }
  };
  int drawn = 0;
  for (int i = 0; i < 3000; ++i) {
    Canvas c(40, 30);
    std::vector<Point> pts(2 + random() % 5);
    for (auto& p : pts) p = {coordinate(), coordinate()};
    auto edge = [&] { return random() % 8 ? static_cast<std::int32_t>(random() % 60) - 10 : coordinate(); };
    const Rect clip{edge(), edge(), edge(), edge()};
    const Rect box = Normalized(clip);
    const Point origin = random() % 2 ? Point{coordinate(), coordinate()} : Point{};
    Draw(c, pts, static_cast<int>(random() % 40) - 5, clip, origin);
    drawn += c.Count() > 0;
    ASSERT_TRUE(c.PaddingUntouched()) << i;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) { ASSERT_FALSE(c.Inked(x, y)) << i; }
      }
    }
  }
  EXPECT_GT(drawn, 500);  // enough of them reach the clip to mean something
}

TEST(Raster, CollapsedSquareIsOneDotOrADisc) {
  Canvas thin(20, 20), wide(20, 20);
  const std::vector<Point> dot(5, Point{0, 0});
  Draw(thin, dot, 1, std::nullopt, {10, 10});
  EXPECT_EQ(thin.Count(), 1);
  Draw(wide, dot, 5, std::nullopt, {10, 10});
  EXPECT_GE(wide.Count(), 13);  // a disc of diameter 5
  EXPECT_LE(wide.Count(), 25);
}

TEST(Raster, FrameIsOnePixelInsideTheRectangle) {
  Canvas c(20, 20);
  auto b = c.Buffer();
  FrameRectangle(b, {2, 3, 8, 7}, kInk);  // 6 x 4
  EXPECT_EQ(c.Count(), 16);
  EXPECT_TRUE(c.Inked(2, 3) && c.Inked(7, 3) && c.Inked(2, 6) && c.Inked(7, 6));
  EXPECT_FALSE(c.Inked(8, 3) || c.Inked(2, 7) || c.Inked(4, 5));
  Canvas r(20, 20);
  auto rb = r.Buffer();
  FrameRectangle(rb, {8, 7, 2, 3}, kInk);
  EXPECT_EQ(r.pixels, c.pixels);
}

TEST(Raster, FramesThatAreEmptyOrOffTheBuffer) {
  Canvas c(10, 10);
  auto b = c.Buffer();
  FrameRectangle(b, {0, 0, 0, 0}, kInk);
  FrameRectangle(b, {3, 3, 3, 9}, kInk);
  EXPECT_EQ(c.Count(), 0);
  FrameRectangle(b, {-2, -2, 2, 2}, kInk);  // only its bottom-right corner is on the buffer
  EXPECT_EQ(c.Count(), 3);
  EXPECT_TRUE(c.Inked(1, 0) && c.Inked(1, 1) && c.Inked(0, 1));
  constexpr auto hi = std::numeric_limits<std::int32_t>::max(), lo = std::numeric_limits<std::int32_t>::min();
  FrameRectangle(b, {lo, lo, hi, hi}, kInk);
  EXPECT_EQ(c.Count(), 3);
  EXPECT_TRUE(c.PaddingUntouched());
}

TEST(Raster, ColoursShowTheirLow24BitsAsRedGreenBlue) {
  EXPECT_EQ(ToPixel(0x00563412), 0xFF123456u);
  EXPECT_EQ(ToPixel(0xAB563412), 0xFF123456u);
}

}  // namespace
}  // namespace kelvane
