#pragma once
// A small rasteriser that writes outline pixels straight into a 32-bit pixel
// buffer. The tunnel redraws 390 squares every millisecond, which a general
// painter with wide pens cannot keep up with; this draws only what the tunnel
// needs: clipped one-pixel lines, wide lines with round ends and joins, and
// one-pixel frames.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "toolkit/geometry.h"

namespace kelvane {

// Pixels as 0xFFRRGGBB, row after row, `stride` pixels apart.
struct PixelBuffer {
  std::uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
};

// Widths above this are drawn this wide. A tick's cost grows with the width
// (measured at 600 x 450: width 16 about 2.5 times width 5, width 64 about
// 25 times); past 16 a tick no longer fits the tunnel timer's millisecond,
// and the inner squares, closer together than that, merge into one blot anyway.
inline constexpr int kMaxPenWidth = 16;

// The width actually drawn: at least 1, at most kMaxPenWidth.
int EffectivePenWidth(int width);

// 0x00BBGGRR to the buffer's 0xFFRRGGBB; bits 24-31 of the colour are ignored.
std::uint32_t ToPixel(Color color);

// The clip in buffer pixels: the rectangle normalised and cut to the buffer,
// or the whole buffer when there is none. Right and bottom are exclusive.
Rect ClipToBuffer(const PixelBuffer& buffer, const std::optional<Rect>& clip);

// Pixels drawn by one polyline, kept so that the same polyline on the same
// buffer can be drawn again without working out its outline: `count` pixels
// from `offset` (in pixels from the buffer's start), along a row or, when
// `down`, down a column.
struct PixelRun {
  std::int32_t offset;
  std::int32_t count;
  bool down;
};

// Lines through the points shifted by origin, `width` pixels wide with round
// ends and joins (one pixel, each pixel once, for a width of 1), inside clip.
// With `record`, the pixels drawn are appended to it as runs.
void DrawPolyline(const PixelBuffer& buffer, const Rect& clip, const Point* points, int count,
                  Point origin, int width, std::uint32_t pixel, std::vector<PixelRun>* record = nullptr);

// Draws recorded runs again in another colour. The buffer must have the size
// and stride it had when they were recorded.
void ReplayRuns(const PixelBuffer& buffer, const std::vector<PixelRun>& runs, std::uint32_t pixel);

// A one-pixel border inside the normalised rectangle (right and bottom
// exclusive), cut to the buffer.
void FrameRectangle(const PixelBuffer& buffer, const Rect& rect, std::uint32_t pixel);

void FillBuffer(const PixelBuffer& buffer, std::uint32_t pixel);

}  // namespace kelvane
