// The Qt drawing surface on the offscreen platform: what a tick, a frame, a
// repaint and a resize leave in its image, and the rasteriser's lines held
// against QPainter's round-capped, round-joined pens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <limits>
#include <vector>

#include "qt/qt_surface.h"
#include "tests/fakes/fake_surface.h"
#include "visual/stimulus_area.h"
#include "visual/tunnel.h"

namespace kelvane {
namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "visual_qt_surface_test";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr QRgb kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kFrame = 0xFF123456;

class QtSurfaceTest : public ::testing::Test {
 protected:
  QtSurfaceTest() {
    surface.resize(800, 600);
    surface.show();
    surface.onPaint = [this] {
      ++paints;
      DrawAreaFrame(s, surface);
    };
    s.areaX1 = 50, s.areaY1 = 20, s.areaX2 = 750, s.areaY2 = 580;
    s.colorR = 0x12, s.colorG = 0x34, s.colorB = 0x56;
    s.density = 1;
    for (auto& c : s.ColorRing()) c = 0x0000FF;  // red squares behind the white one
  }
  QRgb At(int x, int y) const { return surface.image().pixel(x, y); }
  bool InFrameRing(int x, int y, int ring) const {
    const int l = 50 - ring, t = 20 - ring, r = 749 + ring, b = 579 + ring;
    const bool onEdge = x == l || x == r || y == t || y == b;
    return onEdge && x >= l && x <= r && y >= t && y <= b;
  }
  SessionState s;
  QtSurface surface;
  int paints = 0;
};

TEST_F(QtSurfaceTest, ATickDrawsInsideTheClipAndTheFrameAroundIt) {
  SetUpStimulusArea(s, surface);
  Timer2Timer(s, surface);
  const QImage& img = surface.image();
  ASSERT_EQ(img.size(), QSize(800, 600));
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const QRgb p = img.pixel(x, y);
      if (InFrameRing(x, y, 1) || InFrameRing(x, y, 2)) {
        ASSERT_EQ(p, kFrame) << x << "," << y;
      } else if (x < 50 || x >= 750 || y < 20 || y >= 580) {
        ASSERT_EQ(p, kBlack) << x << "," << y;
      }
    }
  }
  // Square 0, white, around the centre (400,300): its bottom edge from
  // (150,225) to (225,225) and its left edge from (150,150) to (150,225).
  for (int i = 150; i <= 225; ++i) {
    EXPECT_EQ(At(400 + i, 300 + 225), kWhite) << i;
    EXPECT_EQ(At(400 + 150, 300 + i), kWhite) << i;
  }
  EXPECT_EQ(At(400 + 225, 300 + 150), kWhite);
  // Square 1 in the ring's colour through (180,188) and (251,176).
  EXPECT_EQ(At(400 + 251, 300 + 176), qRgb(255, 0, 0));
}

TEST_F(QtSurfaceTest, TheTunnelMayCoverTheInnermostFrameRingOnly) {
  s.areaX1 = 300, s.areaY1 = 250, s.areaX2 = 500, s.areaY2 = 350;  // the squares reach past it
  SetUpStimulusArea(s, surface);
  for (int i = 0; i < 3; ++i) Timer2Timer(s, surface);
  EXPECT_EQ(At(299, 300), kFrame);
  EXPECT_EQ(At(298, 300), kFrame);
  EXPECT_EQ(At(297, 300), kBlack);
  int covered = 0;
  for (int x = 300; x < 500; ++x) covered += At(x, 349) != kFrame;
  EXPECT_GT(covered, 0);
}

TEST_F(QtSurfaceTest, RepaintLeavesOnlyTheFrameAndInvalidateWaitsForTheEventLoop) {
  SetUpStimulusArea(s, surface);
  Timer2Timer(s, surface);
  const int before = paints;
  surface.Invalidate();
  surface.Invalidate();
  EXPECT_EQ(At(400 + 150, 300 + 225), kWhite);
  QCoreApplication::processEvents();
  EXPECT_EQ(paints, before + 1);
  EXPECT_EQ(At(400 + 150, 300 + 225), kBlack);

  Timer2Timer(s, surface);
  surface.Repaint();
  EXPECT_EQ(paints, before + 2);
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const bool frame = InFrameRing(x, y, 0) || InFrameRing(x, y, 1) || InFrameRing(x, y, 2);
      ASSERT_EQ(At(x, y), frame ? kFrame : kBlack) << x << "," << y;
    }
  }
}

TEST_F(QtSurfaceTest, TheWindowShowsTheImage) {
  SetUpStimulusArea(s, surface);
  Timer2Timer(s, surface);
  const QImage shown = surface.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), surface.image().size());
  EXPECT_EQ(shown.pixel(400 + 150, 300 + 225), kWhite);
  EXPECT_EQ(shown.pixel(48, 18), kFrame);
}

TEST_F(QtSurfaceTest, AResizeMakesANewBlackImageAndPaints) {
  SetUpStimulusArea(s, surface);
  Timer2Timer(s, surface);
  const int before = paints;
  surface.resize(640, 480);
  EXPECT_EQ(paints, before + 1);
  EXPECT_EQ(surface.image().size(), QSize(640, 480));
  EXPECT_EQ(At(400 + 150, 300 + 225 - 100), kBlack);
  EXPECT_EQ(At(48, 18), kFrame);
}

TEST_F(QtSurfaceTest, ColoursShowTheirLow24BitsAndTheBrushStartsBlack) {
  surface.SelectClip(std::nullopt);
  surface.SetPenColor(0xAB563412);
  const Point line[] = {{10, 10}, {100, 10}};
  surface.Polyline(line, 2);
  EXPECT_EQ(At(50, 10), qRgb(0x12, 0x34, 0x56));
  surface.FrameRect({5, 5, 200, 11});  // its bottom row is y = 10
  EXPECT_EQ(At(50, 10), kBlack);
}

TEST_F(QtSurfaceTest, ReversedRectanglesFrameAndClipLikeNormalisedOnes) {
  const Point line[] = {{0, 0}, {799, 599}};
  surface.SetPenColor(0xFFFFFF);
  surface.SelectClip(Rect{300, 200, 100, 50});
  surface.Polyline(line, 2);
  surface.SetBrushColor(0x00FF00);
  surface.FrameRect({600, 500, 500, 400});
  const QImage reversed = surface.image();
  surface.Repaint();
  surface.onPaint = nullptr;
  surface.Repaint();
  surface.SelectClip(Rect{100, 50, 300, 200});
  surface.Polyline(line, 2);
  surface.FrameRect({500, 400, 600, 500});
  EXPECT_EQ(surface.image(), reversed);
  EXPECT_EQ(At(150, 112), kWhite);
  EXPECT_EQ(At(500, 450), qRgb(0, 255, 0));
}

TEST_F(QtSurfaceTest, PenWidthsBelowOneDrawOnePixel) {
  SetUpStimulusArea(s, surface);
  const SessionState start = s;
  Timer2Timer(s, surface);
  const QImage one = surface.image();
  for (const int density : {0, -3}) {
    SessionState replay = start;
    replay.density = density;
    surface.Repaint();
    Timer2Timer(replay, surface);
    EXPECT_EQ(surface.image(), one) << density;
  }
}

TEST_F(QtSurfaceTest, AHugeWidthIsCappedAndZeroDivisorsDrawUnturnedSquares) {
  s.density = std::numeric_limits<std::int32_t>::max();
  s.pulseDivisor = 0;
  s.geoVertical = 0;
  SetUpStimulusArea(s, surface);
  Timer2Timer(s, surface);
  // Square 0 runs from (150,150) to (225,225) and is drawn first; the later,
  // smaller squares cover all of it but its outer corner.
  const int reach = kMaxPenWidth / 2;
  EXPECT_EQ(At(400 + 225 + reach * 2 / 3, 300 + 225 + reach * 2 / 3), kWhite);
  EXPECT_EQ(At(400 + 225 + reach, 300 + 225 + reach), kBlack);
  EXPECT_EQ(At(400 + 120, 300 + 120), qRgb(255, 0, 0));
  EXPECT_EQ(At(400, 300), qRgb(255, 0, 0));
  EXPECT_EQ(At(60, 30), kBlack);
}

TEST_F(QtSurfaceTest, ReplayedOutlinesMatchFreshlyWorkedOnes) {
  s.density = 5;
  for (int k = 0; k < kRingSlots; ++k) s.ColorRing()[k] = 0x010101 * static_cast<Color>(k % 200) + 0x30;
  SetUpStimulusArea(s, surface);
  for (int step = 0; step < 4; ++step) {
    if (step == 2) s.pulseDivisor = 150;  // new outlines: worked out afresh, then replayed
    SessionState again = s;
    surface.Repaint();
    Timer2Timer(s, surface);

    QtSurface fresh;
    fresh.resize(800, 600);
    fresh.show();
    SetUpStimulusArea(again, fresh);
    Timer2Timer(again, fresh);
    ASSERT_EQ(surface.image(), fresh.image()) << "step " << step;
  }
}

// Pixels that differ from black.
std::vector<QPoint> Inked(const QImage& img) {
  std::vector<QPoint> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) != 0) out.push_back({x, y});
  return out;
}

// How many pixels of `a` have no pixel of `b` within one pixel.
int Strays(const QImage& a, const QImage& b) {
  int strays = 0;
  for (const QPoint& p : Inked(a)) {
    bool near = false;
    for (int dy = -1; dy <= 1 && !near; ++dy)
      for (int dx = -1; dx <= 1 && !near; ++dx) {
        const QPoint q = p + QPoint(dx, dy);
        near = b.valid(q) && (b.pixel(q) & 0xFFFFFF) != 0;
      }
    strays += !near;
  }
  return strays;
}

TEST_F(QtSurfaceTest, WideSquaresMatchARoundCappedRoundJoinedPen) {
  // The tunnel's own squares, as the renderer hands them to a surface.
  testing::Recorder log;
  testing::FakeSurface recorder(log);
  s.pulseDivisor = 131;  // shears the squares, as the pulse does
  Timer2Timer(s, recorder);
  surface.onPaint = nullptr;
  surface.SetPenColor(0xFFFFFF);
  surface.SetViewportOrigin({400, 300});
  surface.SelectClip(std::nullopt);
  for (const int width : {1, 2, 3, 5, 8, 13}) {
    for (const int k : {0, 1, 7, 30, 60, 150}) {
      const auto& pts = recorder.lines[k].points;
      surface.Repaint();
      surface.SetPenWidth(width);
      surface.Polyline(pts.data(), static_cast<int>(pts.size()));

      QImage reference(surface.image().size(), QImage::Format_RGB32);
      reference.fill(Qt::black);
      QPainter p(&reference);
      p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.translate(400, 300);
      QPolygon poly;
      for (const auto& pt : pts) poly << QPoint(pt.x, pt.y);
      p.drawPolyline(poly);
      p.end();

      ASSERT_FALSE(Inked(reference).empty());
      EXPECT_EQ(Strays(surface.image(), reference), 0) << "width " << width << " square " << k;
      EXPECT_EQ(Strays(reference, surface.image()), 0) << "width " << width << " square " << k;
    }
  }
}

}  // namespace
}  // namespace kelvane
