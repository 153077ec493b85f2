// The editor's preview on the offscreen platform: what it draws, measured
// on its picture, at one scale for the whole of Kelvane's window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <algorithm>

#include "editor/tunnel_preview.h"

namespace kelvane {
namespace {

// The box, in widget pixels, of what is not black within the part of the
// window the comment panel leaves: before the first tick, the area's frame.
QRect Drawn(const QImage& picture, const QRectF& shown) {
  QRect box;
  for (int y = static_cast<int>(std::ceil(shown.top())); y < static_cast<int>(shown.bottom()); ++y)
    for (int x = static_cast<int>(std::ceil(shown.left())); x < static_cast<int>(shown.right()); ++x)
      if (qGray(picture.pixel(x, y)) > 40) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(EditorPreview, AreasShowAtTheirTrueSizeByOneScaleForTheWholeWindow) {
  static int argc = 1;
  static char name[] = "editor_preview_test";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);

  const DrawingArea window{1280, 950, {0, 2, 1108, 950}};
  TunnelPreview preview;
  preview.SetPaused(true);  // the frame alone, as Open draws it
  preview.resize(400, 300);
  preview.SetDrawingArea(window);
  const double scale = std::min(400.0 / 1280, 300.0 / 950);
  const QRectF shown(200 - 640 * scale, 150 - 475 * scale + 2 * scale, 1108 * scale, 948 * scale);

  SessionDocument d = NewSessionDocument();
  d.colorR = d.colorG = d.colorB = 255;
  // A small area and a wide one.
  for (const Rect area : {Rect{300, 200, 400, 300}, Rect{20, 30, 703, 404}}) {
    d.areaX1 = area.left, d.areaY1 = area.top, d.areaX2 = area.right, d.areaY2 = area.bottom;
    preview.Show(d);
    const QImage picture = preview.grab().toImage();
    const QRect drawn = Drawn(picture, shown);
    // The area with its three-pixel frame, scaled as the window is, within a pixel.
    const double width = (area.right - area.left + 6) * scale, height = (area.bottom - area.top + 6) * scale;
    EXPECT_NEAR(drawn.width(), width, 1.5) << area.right - area.left;
    EXPECT_NEAR(drawn.height(), height, 1.5) << area.bottom - area.top;
    EXPECT_NEAR(drawn.left(), shown.left() + (area.left - 3) * scale, 1.5);
    EXPECT_NEAR(drawn.top(), shown.top() + (area.top - 3 - 2) * scale, 1.5);
  }
}

}  // namespace
}  // namespace kelvane
