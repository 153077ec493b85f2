// A display scaled by 2: a session's coordinates are the window's logical
// pixels, so the area and its frame cover twice as many device pixels each
// way, in the same place relative to the window; the title picture is drawn
// at twice the size and keeps its logical size.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QEventLoop>
#include <QTimer>

#include "assets/artwork/artwork.h"
#include "qt/qt_surface.h"
#include "state/session_state.h"
#include "visual/stimulus_area.h"

namespace kelvane {
namespace {

class ScaledDisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_SCALE_FACTOR", "2");
    static int argc = 1;
    static char name[] = "scaled_display_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
  }
};

TEST_F(ScaledDisplayTest, TheAreaIsPlacedInLogicalPixels) {
  QtSurface surface;
  SessionState s;
  surface.onPaint = [&] { DrawAreaFrame(s, surface); };
  surface.resize(300, 200);
  surface.show();
  QApplication::processEvents();
  ASSERT_EQ(surface.devicePixelRatioF(), 2.0);
  s.areaX1 = 100, s.areaY1 = 50, s.areaX2 = 200, s.areaY2 = 150;
  s.colorR = 255;
  SetUpStimulusArea(s, surface);
  // What the window shows, after the surface's next flush, and what it would
  // render afresh: the two are painted by different code at this ratio.
  QEventLoop flush;
  QTimer::singleShot(100, &flush, &QEventLoop::quit);
  flush.exec();
  const auto* store = dynamic_cast<QImage*>(surface.backingStore()->paintDevice());
  ASSERT_NE(store, nullptr);
  for (const QImage& shown : {store->copy(), surface.grab().toImage()}) {
    ASSERT_EQ(shown.size(), QSize(600, 400));
    const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
    // The frame's outer ring, logical column 98, is device columns 196 and 197.
    for (int y : {110, 200, 290}) {
      EXPECT_EQ(shown.pixel(195, y), black) << y;
      EXPECT_EQ(shown.pixel(196, y), red) << y;
      EXPECT_EQ(shown.pixel(197, y), red) << y;
      EXPECT_EQ(shown.pixel(98, y), black) << "placed in device pixels, at row " << y;
    }
    // Its bottom ring, logical row 151, is device rows 302 and 303.
    EXPECT_EQ(shown.pixel(300, 303), red);
    EXPECT_EQ(shown.pixel(300, 304), black);
  }
}

TEST_F(ScaledDisplayTest, TheTitlePictureIsDrawnAtTwiceItsSize) {
  const QPixmap title = TitlePicture();
  EXPECT_EQ(title.size(), QSize(724, 850));
  EXPECT_EQ(title.deviceIndependentSize(), QSizeF(362, 425));
}

}  // namespace
}  // namespace kelvane
