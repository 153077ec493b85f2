#pragma once
// Plain value types shared by the program's procedures and the toolkit.

#include <cstdint>

namespace kelvane {

// A colour laid out 0x00BBGGRR: red in the low byte. Only the low 24 bits are shown.
using Color = std::uint32_t;

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A window-system rectangle: right and bottom edges lie outside it.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Swaps edges that are the wrong way round, so a rectangle given with its
// right edge left of its left edge still means the area between them.
inline Rect Normalized(Rect r) {
  if (r.right < r.left) { const auto t = r.left; r.left = r.right; r.right = t; }
  if (r.bottom < r.top) { const auto t = r.top; r.top = r.bottom; r.bottom = t; }
  return r;
}

// The part of the main window the program draws on, in logical pixels: the
// surface between the menu bar and the status bar, and the part of it that
// shows, the rest lying under the bevel along its top and the comment panel
// on its right.
struct DrawingArea {
  std::int32_t width = 0;
  std::int32_t height = 0;
  Rect shown;
  friend bool operator==(const DrawingArea&, const DrawingArea&) = default;
};

}  // namespace kelvane
