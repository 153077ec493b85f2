#include "visual/raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

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
  std::vector<PixelRun>* record;  // where the runs are kept for replay, if anywhere
};

// Keeps a run for replay. Single pixels that continue the last run along a
// row or down a column lengthen it instead, so a thin line keeps one record
// per straight stretch rather than one per pixel.
[[gnu::always_inline]] inline void Record(std::vector<PixelRun>& runs, std::ptrdiff_t stride, std::ptrdiff_t offset,
                                          int count, bool down) {
  if (count == 1 && !runs.empty()) {
    PixelRun& last = runs.back();
    const bool single = last.count == 1;
    if ((single || !last.down) && offset == last.offset + last.count) {
      last.down = false;
      ++last.count;
      return;
    }
    if ((single || last.down) && offset == last.offset + last.count * stride) {
      last.down = true;
      ++last.count;
      return;
    }
  }
  runs.push_back({static_cast<std::int32_t>(offset), count, down});
}

// Pixels of the run at u from v = first to last, inclusive and already clipped.
template <bool kXMajor>
[[gnu::always_inline]] inline void WriteRun(const PixelBuffer& b, const Axes& a, int u, int first, int last,
                                            std::uint32_t pixel) {
  if constexpr (kXMajor) {
    std::uint32_t* p = b.bits + first * b.stride + u;
    for (int v = first; v <= last; ++v, p += b.stride) *p = pixel;
    if (a.record) Record(*a.record, b.stride, first * b.stride + u, last - first + 1, true);
  } else {
    std::uint32_t* p = b.bits + u * b.stride + first;
    for (int v = first; v <= last; ++v) *p++ = pixel;
    if (a.record) Record(*a.record, b.stride, u * b.stride + first, last - first + 1, false);
  }
}

// The clip never starts below 0, so every value that is converted here is
// at least 0, where truncation is floor: this avoids a library call for
// floor and ceil on processors without a rounding instruction.
int FloorNonNegative(double x) { return static_cast<int>(x); }
int CeilNonNegative(double x) {
  const int i = static_cast<int>(x);
  return i + (i < x);
}

// First and last index of the clip range [begin, end) that lies in [lo, hi]
// of doubles, without converting a value that does not fit an int.
bool ClampRange(double lo, double hi, int begin, int end, int& first, int& last) {
  lo = std::max(lo, static_cast<double>(begin));
  hi = std::min(hi, static_cast<double>(end - 1));
  if (!(lo <= hi)) return false;
  first = CeilNonNegative(lo);
  last = FloorNonNegative(hi);
  return first <= last;
}

// One pixel wide: one pixel per step along u, the pixel nearest the line.
template <bool kXMajor>
void ThinSegment(const PixelBuffer& b, const Axes& a, bool includeEnd, std::uint32_t pixel) {
  const double du = a.u1 - a.u0;
  if (du == 0) {
    if (includeEnd && a.u0 >= a.uBegin && a.u0 < a.uEnd && a.v0 >= a.vBegin && a.v0 < a.vEnd)
      WriteRun<kXMajor>(b, a, static_cast<int>(a.u0), static_cast<int>(a.v0), static_cast<int>(a.v0), pixel);
    return;
  }
  const double last = includeEnd ? a.u1 : a.u1 - (du > 0 ? 1 : -1);
  int first = 0, end = 0;
  if (!ClampRange(std::min(a.u0, last), std::max(a.u0, last), a.uBegin, a.uEnd, first, end)) return;
  const double slope = (a.v1 - a.v0) / du;
  for (int u = first; u <= end; ++u) {
    const double v = a.v0 + (u - a.u0) * slope + 0.5;
    if (v >= a.vBegin && v < a.vEnd) {
      const int pixelV = FloorNonNegative(v);
      WriteRun<kXMajor>(b, a, u, pixelV, pixelV, pixel);
    }
  }
}

// The run of pixels v with lo <= v < hi, cut to the clip.
template <bool kXMajor>
[[gnu::always_inline]] inline void CoverRun(const PixelBuffer& b, const Axes& a, int u, double lo, double hi,
                                            std::uint32_t pixel) {
  lo = std::max(lo, static_cast<double>(a.vBegin));
  hi = std::min(hi, static_cast<double>(a.vEnd));
  if (!(lo < hi)) return;
  const int first = CeilNonNegative(lo), end = CeilNonNegative(hi);
  if (first < end) WriteRun<kXMajor>(b, a, u, first, end - 1, pixel);
}

void Widen(double& lo, double& hi, double from, double to) {
  lo = std::min(lo, from);
  hi = std::max(hi, to);
}

// The middle of a wide segment, where only the band counts: its edges move
// by the slope per step. In 32.32 fixed point when the band is near enough
// to the buffer (it always is unless a point lies far outside), so each step
// is integer additions and shifts.
template <bool kXMajor>
void MiddleRuns(const PixelBuffer& b, const Axes& a, int first, int last, double slope, double halfBand,
                std::uint32_t pixel) {
  const double lo = a.v0 + (first - a.u0) * slope - halfBand;
  const double reach = std::abs(lo) + std::abs(slope) * (last - first) + 2 * halfBand;
  if (!(reach < (1 << 24))) {
    for (int u = first; u <= last; ++u) {
      const double from = a.v0 + (u - a.u0) * slope - halfBand;
      CoverRun<kXMajor>(b, a, u, from, from + 2 * halfBand, pixel);
    }
    return;
  }
  constexpr double kOne = 4294967296.0;  // 2^32
  constexpr std::int64_t kAlmostOne = (std::int64_t{1} << 32) - 1;
  std::int64_t loFixed = std::llround(lo * kOne), hiFixed = std::llround((lo + 2 * halfBand) * kOne);
  const std::int64_t step = std::llround(slope * kOne);
  for (int u = first; u <= last; ++u, loFixed += step, hiFixed += step) {
    // Pixels v with lo <= v < hi: from ceil(lo) to ceil(hi) - 1.
    const int from = std::max(static_cast<int>((loFixed + kAlmostOne) >> 32), a.vBegin);
    const int to = std::min(static_cast<int>((hiFixed + kAlmostOne) >> 32), a.vEnd) - 1;
    if (from <= to) WriteRun<kXMajor>(b, a, u, from, to, pixel);
  }
}

// Half the chord of the pen's disc at each whole distance d from its centre:
// sqrt(r^2 - d^2), the same for every segment of a width.
struct DiscChords {
  explicit DiscChords(double r) : radius(r) {
    for (int d = 0; d < static_cast<int>(half.size()); ++d) half[d] = d <= r ? std::sqrt(r * r - d * d) : -1;
  }
  double radius;
  std::array<double, kMaxPenWidth / 2 + 2> half{};
};

const DiscChords& ChordsFor(int width) {
  // Per thread, since it is filled lazily and drawing happens on more than one.
  thread_local std::array<std::optional<DiscChords>, kMaxPenWidth + 1> cache;
  auto& entry = cache[width];
  if (!entry) entry.emplace(width / 2.0);
  return *entry;
}

// The pen's outline around a segment: every point within r of it, that is a
// band along the segment with a disc at each end. The end discs make the
// round caps and, where two segments meet, the round join (the disc at a
// segment's start is left to the segment before it, when there is one).
// Along each step of u the covered part of the cross line is one interval,
// since the shape is convex. More than r from both ends, only the band counts.
template <bool kXMajor>
void WideSegment(const PixelBuffer& b, const Axes& a, const DiscChords& chords, bool startDisc,
                 std::uint32_t pixel) {
  const double r = chords.radius;
  const double du = a.u1 - a.u0, dv = a.v1 - a.v0;
  const double length2 = du * du + dv * dv;
  const double halfBand = length2 > 0 ? r * std::sqrt(length2) / std::abs(du) : 0;
  const double slope = length2 > 0 ? dv / du : 0;
  // The two ends' perpendiculars cross the line u at v0 - t k and v0 + length2 / dv - t k.
  const double k = dv != 0 ? du / dv : 0, far = dv != 0 ? length2 / dv : 0;
  const double uMin = std::min(a.u0, a.u1), uMax = std::max(a.u0, a.u1);
  int uFirst = 0, uLast = 0;
  if (!ClampRange(uMin - r, uMax + r, a.uBegin, a.uEnd, uFirst, uLast)) return;
  // Columns strictly between uMin + r and uMax - r form the middle.
  int middleFirst = uLast + 1, middleLast = uLast;
  const double middleFrom = std::floor(uMin + r) + 1, middleTo = std::ceil(uMax - r) - 1;
  if (middleFrom <= middleTo && middleFrom <= uLast && middleTo >= uFirst) {
    middleFirst = static_cast<int>(std::max(middleFrom, static_cast<double>(uFirst)));
    middleLast = static_cast<int>(std::min(middleTo, static_cast<double>(uLast)));
  }
  if (middleFirst <= middleLast) MiddleRuns<kXMajor>(b, a, middleFirst, middleLast, slope, halfBand, pixel);
  for (int u = uFirst; u <= uLast; ++u) {
    if (u == middleFirst) u = middleLast + 1;
    if (u > uLast) break;
    const double t = u - a.u0;
    const double centre = a.v0 + t * slope;
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    if (length2 > 0) {
      double from = centre - halfBand, to = centre + halfBand;
      if (dv == 0) {
        if (t * du < 0 || t * du > length2) from = to + 1;
      } else {
        const double s0 = a.v0 - t * k, s1 = s0 + far;
        from = std::max(from, std::min(s0, s1));
        to = std::min(to, std::max(s0, s1));
      }
      if (from <= to) Widen(lo, hi, from, to);
    }
    auto disc = [&](double eu, double ev) {
      const double d = std::abs(u - eu);
      if (d > r) return;
      const double half = chords.half[static_cast<int>(d)];
      Widen(lo, hi, ev - half, ev + half);
    };
    if (startDisc) disc(a.u0, a.v0);
    disc(a.u1, a.v1);
    if (lo < hi) CoverRun<kXMajor>(b, a, u, lo, hi, pixel);
  }
}

void DrawSegment(const PixelBuffer& b, const Rect& clip, double x0, double y0, double x1, double y1, int width,
                 bool first, bool last, std::uint32_t pixel, std::vector<PixelRun>* record) {
  const double r = width / 2.0;
  if (std::max(x0, x1) + r < clip.left || std::min(x0, x1) - r >= clip.right ||
      std::max(y0, y1) + r < clip.top || std::min(y0, y1) - r >= clip.bottom)
    return;
  const bool xMajor = std::abs(x1 - x0) >= std::abs(y1 - y0);
  const Axes a = xMajor ? Axes{x0, y0, x1, y1, clip.left, clip.right, clip.top, clip.bottom, record}
                        : Axes{y0, x0, y1, x1, clip.top, clip.bottom, clip.left, clip.right, record};
  if (width <= 1) {
    xMajor ? ThinSegment<true>(b, a, last, pixel) : ThinSegment<false>(b, a, last, pixel);
  } else {
    const DiscChords& chords = ChordsFor(width);
    xMajor ? WideSegment<true>(b, a, chords, first, pixel) : WideSegment<false>(b, a, chords, first, pixel);
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
                  int width, std::uint32_t pixel, std::vector<PixelRun>* record) {
  if (count < 2 || clip.right <= clip.left || clip.bottom <= clip.top) return;
  width = EffectivePenWidth(width);
  // Window coordinates can pass the 32-bit range when a far origin meets a
  // far point; doubles hold them exactly.
  auto x = [&](int i) { return static_cast<double>(points[i].x) + origin.x; };
  auto y = [&](int i) { return static_cast<double>(points[i].y) + origin.y; };
  // A closed polyline's first corner is the last segment's end.
  const bool closed = points[0] == points[count - 1];
  for (int i = 0; i + 1 < count; ++i)
    DrawSegment(buffer, clip, x(i), y(i), x(i + 1), y(i + 1), width, i == 0 && !closed, i + 2 == count, pixel,
                record);
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

void ReplayRuns(const PixelBuffer& buffer, const std::vector<PixelRun>& runs, std::uint32_t pixel) {
  for (const PixelRun& run : runs) {
    std::uint32_t* p = buffer.bits + run.offset;
    if (run.down) {
      for (int i = 0; i < run.count; ++i, p += buffer.stride) *p = pixel;
    } else {
      std::fill_n(p, run.count, pixel);
    }
  }
}

void FillBuffer(const PixelBuffer& buffer, std::uint32_t pixel) {
  for (int y = 0; y < buffer.height; ++y) std::fill_n(buffer.bits + y * buffer.stride, buffer.width, pixel);
}

}  // namespace kelvane
