#include "visual/raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvane {
namespace {

// A segment seen along its major axis u (the one it advances most along) and
// its minor axis v. Lines are sampled at pixel centres, which sit on the
// integer coordinates; a run covers the pixels v with lo <= v < hi, so a
// width of w covers exactly w pixels across a straight line.
struct Axes {
  double u0, v0, u1, v1;
  int uBegin, uEnd;  // clip along u, end exclusive
  int vBegin, vEnd;  // clip along v, end exclusive
};

// Pixels of the run at u from v = first to last, inclusive and already clipped.
template <bool kXMajor>
void WriteRun(const PixelBuffer& b, int u, int first, int last, std::uint32_t pixel) {
  if constexpr (kXMajor) {
    std::uint32_t* p = b.bits + first * b.stride + u;
    for (int v = first; v <= last; ++v, p += b.stride) *p = pixel;
  } else {
    std::uint32_t* row = b.bits + u * b.stride;
    std::fill(row + first, row + last + 1, pixel);
  }
}

// First and last index of the clip range [begin, end) that lies in [lo, hi]
// of doubles, without converting a value that does not fit an int.
bool ClampRange(double lo, double hi, int begin, int end, int& first, int& last) {
  lo = std::max(lo, static_cast<double>(begin));
  hi = std::min(hi, static_cast<double>(end - 1));
  if (!(lo <= hi)) return false;
  first = static_cast<int>(lo);
  last = static_cast<int>(hi);
  return first <= last;
}

// One pixel wide: one pixel per step along u, the pixel nearest the line.
template <bool kXMajor>
void ThinSegment(const PixelBuffer& b, const Axes& a, bool includeEnd, std::uint32_t pixel) {
  const double du = a.u1 - a.u0;
  if (du == 0) {
    if (includeEnd && a.u0 >= a.uBegin && a.u0 < a.uEnd && a.v0 >= a.vBegin && a.v0 < a.vEnd)
      WriteRun<kXMajor>(b, static_cast<int>(a.u0), static_cast<int>(a.v0), static_cast<int>(a.v0), pixel);
    return;
  }
  const double last = includeEnd ? a.u1 : a.u1 - (du > 0 ? 1 : -1);
  int first = 0, end = 0;
  if (!ClampRange(std::min(a.u0, last), std::max(a.u0, last), a.uBegin, a.uEnd, first, end)) return;
  const double slope = (a.v1 - a.v0) / du;
  for (int u = first; u <= end; ++u) {
    const double v = std::floor(a.v0 + (u - a.u0) * slope + 0.5);
    if (v >= a.vBegin && v < a.vEnd) WriteRun<kXMajor>(b, u, static_cast<int>(v), static_cast<int>(v), pixel);
  }
}

void Widen(double& lo, double& hi, double from, double to) {
  lo = std::min(lo, from);
  hi = std::max(hi, to);
}

// The pen's outline around a segment: every point within r of it, that is a
// band along the segment with a disc at each end. Drawn end discs make the
// round caps, and where two segments meet, the round join. Along each step of
// u the covered part of the cross line is one interval (the shape is convex).
template <bool kXMajor>
void WideSegment(const PixelBuffer& b, const Axes& a, double r, std::uint32_t pixel) {
  const double du = a.u1 - a.u0, dv = a.v1 - a.v0;
  const double length2 = du * du + dv * dv;
  const double halfBand = length2 > 0 ? r * std::sqrt(length2) / std::abs(du) : 0;
  const double slope = length2 > 0 ? dv / du : 0;
  int uFirst = 0, uLast = 0;
  if (!ClampRange(std::ceil(std::min(a.u0, a.u1) - r), std::floor(std::max(a.u0, a.u1) + r), a.uBegin, a.uEnd,
                  uFirst, uLast))
    return;
  for (int u = uFirst; u <= uLast; ++u) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    const double t = u - a.u0;
    if (length2 > 0) {
      const double centre = a.v0 + t * slope;
      double from = centre - halfBand, to = centre + halfBand;
      // Only the part of the band between the two ends' perpendiculars.
      if (dv == 0) {
        if (t * du < 0 || t * du > length2) from = to + 1;
      } else {
        double s0 = a.v0 - t * du / dv, s1 = a.v0 + (length2 - t * du) / dv;
        if (s0 > s1) std::swap(s0, s1);
        from = std::max(from, s0);
        to = std::min(to, s1);
      }
      if (from <= to) Widen(lo, hi, from, to);
    }
    auto disc = [&](double eu, double ev) {
      const double d = u - eu;
      if (std::abs(d) > r) return;
      const double half = std::sqrt(r * r - d * d);
      Widen(lo, hi, ev - half, ev + half);
    };
    disc(a.u0, a.v0);
    disc(a.u1, a.v1);
    int first = 0, last = 0;
    if (lo < hi && ClampRange(std::ceil(lo), std::ceil(hi) - 1, a.vBegin, a.vEnd, first, last))
      WriteRun<kXMajor>(b, u, first, last, pixel);
  }
}

void DrawSegment(const PixelBuffer& b, const Rect& clip, double x0, double y0, double x1, double y1, int width,
                 bool includeEnd, std::uint32_t pixel) {
  const double r = width / 2.0;
  if (std::max(x0, x1) + r < clip.left || std::min(x0, x1) - r >= clip.right ||
      std::max(y0, y1) + r < clip.top || std::min(y0, y1) - r >= clip.bottom)
    return;
  if (std::abs(x1 - x0) >= std::abs(y1 - y0)) {
    const Axes a{x0, y0, x1, y1, clip.left, clip.right, clip.top, clip.bottom};
    width <= 1 ? ThinSegment<true>(b, a, includeEnd, pixel) : WideSegment<true>(b, a, r, pixel);
  } else {
    const Axes a{y0, x0, y1, x1, clip.top, clip.bottom, clip.left, clip.right};
    width <= 1 ? ThinSegment<false>(b, a, includeEnd, pixel) : WideSegment<false>(b, a, r, pixel);
  }
}

std::int32_t Clamp32(std::int64_t v, std::int32_t lo, std::int32_t hi) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

}  // namespace

int EffectivePenWidth(int width) { return std::clamp(width, 1, kMaxPenWidth); }

std::uint32_t ToPixel(Color color) {
  const std::uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

Rect ClipToBuffer(const PixelBuffer& buffer, const std::optional<Rect>& clip) {
  Rect whole{0, 0, buffer.width, buffer.height};
  if (!clip) return whole;
  const Rect c = Normalized(*clip);
  Rect r{std::max(c.left, 0), std::max(c.top, 0), std::min(c.right, buffer.width), std::min(c.bottom, buffer.height)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

void DrawPolyline(const PixelBuffer& buffer, const Rect& clip, const Point* points, int count, Point origin,
                  int width, std::uint32_t pixel) {
  if (count < 2 || clip.right <= clip.left || clip.bottom <= clip.top) return;
  width = EffectivePenWidth(width);
  // Window coordinates can pass the 32-bit range when a far origin meets a
  // far point; doubles hold them exactly.
  auto x = [&](int i) { return static_cast<double>(points[i].x) + origin.x; };
  auto y = [&](int i) { return static_cast<double>(points[i].y) + origin.y; };
  for (int i = 0; i + 1 < count; ++i)
    DrawSegment(buffer, clip, x(i), y(i), x(i + 1), y(i + 1), width, i + 2 == count, pixel);
}

void FrameRectangle(const PixelBuffer& buffer, const Rect& rect, std::uint32_t pixel) {
  const Rect r = Normalized(rect);
  if (r.right <= r.left || r.bottom <= r.top) return;
  const std::int64_t right = std::int64_t{r.right} - 1, bottom = std::int64_t{r.bottom} - 1;
  const int w = buffer.width, h = buffer.height;
  const int x0 = Clamp32(r.left, 0, w), x1 = Clamp32(right + 1, 0, w);
  const int y0 = Clamp32(r.top, 0, h), y1 = Clamp32(bottom + 1, 0, h);
  auto row = [&](std::int64_t y) {
    if (y >= 0 && y < h) std::fill(buffer.bits + y * buffer.stride + x0, buffer.bits + y * buffer.stride + x1, pixel);
  };
  auto column = [&](std::int64_t x) {
    if (x < 0 || x >= w) return;
    for (int y = y0; y < y1; ++y) buffer.bits[y * buffer.stride + x] = pixel;
  };
  row(r.top);
  row(bottom);
  column(r.left);
  column(right);
}

void FillBuffer(const PixelBuffer& buffer, std::uint32_t pixel) {
  for (int y = 0; y < buffer.height; ++y) std::fill_n(buffer.bits + y * buffer.stride, buffer.width, pixel);
}

}  // namespace kelvane
