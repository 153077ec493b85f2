#pragma once
// The main window's drawing surface, as the tunnel and the area frame see it.

#include <optional>

#include "toolkit/geometry.h"

namespace kelvane {

class Surface {
 public:
  virtual ~Surface() = default;

  // Logical (0,0) lands on this point of the window for Polyline.
  virtual void SetViewportOrigin(Point origin) = 0;
  // Clips later polylines to this window rectangle; nullopt removes the clip.
  virtual void SelectClip(const std::optional<Rect>& clip) = 0;
  virtual void SetPenColor(Color color) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetBrushColor(Color color) = 0;
  // Draws connected lines through the points (logical coordinates) with the pen.
  virtual void Polyline(const Point* points, int count) = 0;
  // A one-pixel border inside the rectangle in the brush colour, in window
  // coordinates: neither the viewport origin nor the clip applies.
  virtual void FrameRect(const Rect& rect) = 0;
  // Erase to black and paint the frame again, later (Invalidate) or now (Repaint).
  virtual void Invalidate() = 0;
  virtual void Repaint() = 0;
};

}  // namespace kelvane
