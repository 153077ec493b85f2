#pragma once
// Kelvane's drawing area as the editor pictures it, for the area picker and
// the preview alike: black where the tunnel shows, the comment panel and the
// line below the menu bar in the window's colours.

#include <QPalette>
#include <QTransform>

#include "toolkit/geometry.h"

class QPainter;

namespace kelvane {

// toWidget maps the window's pixels onto the widget.
void PaintDrawingArea(QPainter& p, const DrawingArea& area, const QTransform& toWidget, const QPalette& palette);

}  // namespace kelvane
