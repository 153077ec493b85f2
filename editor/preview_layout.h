#pragma once
// Where the preview shows the tunnel: Kelvane's drawing area scaled down to
// fit the preview's box, by one scale for the whole picture whatever the
// session, so a small area looks small and a wide one wide.

#include "toolkit/geometry.h"

namespace kelvane {

// The frame Kelvane draws around the area, in pixels outside it.
inline constexpr int kAreaFrameWidth = 3;

struct PreviewLayout {
  double scale = 0;          // box pixels a window pixel takes, the same both ways
  double left = 0, top = 0;  // where the window's (0, 0) lands in the box
  // The window pixels the tunnel is drawn in: the area with its frame, as
  // far as the window shows it. Empty when nothing of it shows.
  Rect drawn;
};

// Never scaled up: a box larger than the window shows it at its own size.
PreviewLayout LayOutPreview(const DrawingArea& window, const Rect& area, int boxWidth, int boxHeight);

}  // namespace kelvane
