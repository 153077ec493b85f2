#include "visual/tunnel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "visual/random_source.h"

namespace kelvane {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kAngleStep = 10;
constexpr Color kWhite = 0xFFFFFF;

// a x pi / divisor; a zero divisor gives angle 0 rather than an infinity
// that would reach the integer conversions below.
double Angle(std::int32_t angle, std::int32_t divisor) {
  return divisor == 0 ? 0.0 : angle * kPi / divisor;
}

// cos and sin of the 390 angles of a tick, per divisor. The divisors change at
// most every 50 ms, and the values are the exact ones, so caching them saves
// most of a tick's geometry without changing a single point.
struct AngleTable {
  double (*fn)(double);
  std::int32_t divisor = 0;
  bool filled = false;
  std::array<double, kRingSlots> values{};

  double At(std::int32_t angle, std::int32_t div) {
    if (angle < 0 || angle % kAngleStep != 0 || angle / kAngleStep >= kRingSlots) return fn(Angle(angle, div));
    if (!filled || divisor != div) {
      for (int k = 0; k < kRingSlots; ++k) values[k] = fn(Angle(k * kAngleStep, div));
      divisor = div;
      filled = true;
    }
    return values[angle / kAngleStep];
  }
};

double Cos(double x) { return std::cos(x); }
double Sin(double x) { return std::sin(x); }
// One pair per thread: a headless check may draw on a worker thread while a
// window draws its own tunnel with other divisors.
thread_local AngleTable cosTable{Cos};
thread_local AngleTable sinTable{Sin};

std::int32_t TruncateToInt32(double v) {
  constexpr double lo = std::numeric_limits<std::int32_t>::min();
  constexpr double hi = std::numeric_limits<std::int32_t>::max();
  if (!(v == v)) return 0;  // NaN
  return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

void AdvanceRing(SessionState& s) {
  auto ring = s.ColorRing();
  // Slots 0..387 move to 1..388; slot 389 is the first sequence entry and stays.
  std::copy_backward(ring.begin(), ring.begin() + (kRingSlots - 2), ring.begin() + (kRingSlots - 1));
  ring[0] = s.injectColor;
}

}  // namespace

void ChooseInjectColor(SessionState& s) {
  // Wraps like the 32-bit counter it is, should tickIndex ever be out of range.
  const auto t = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.tickIndex) + 1u);
  s.tickIndex = t;
  // The sequence has 390 entries whatever colorSequenceLength claims.
  if (t >= 0 && t < kSequenceEntries && t < s.colorSequenceLength) {
    s.injectColor = s.ColorSequence()[t];
  } else {
    s.injectColor = DriftColor(s, s.injectColor);
  }
  if (s.tickIndex == kRingSlots) s.tickIndex = 0;
}

void Timer2Timer(SessionState& s, Surface& surface) {
  surface.SetViewportOrigin(s.areaCentre);
  surface.SetPenColor(kWhite);
  const double shrink = s.form == 1 ? 0.965 : 0.99;
  float scale = 1.5f;
  std::int32_t angle = 0;
  const auto ring = s.ColorRing();
  for (int k = 0; k < kRingSlots; ++k) {
    DrawTunnelSquare(s, surface, scale, angle);
    angle += kAngleStep;
    scale = static_cast<float>(scale * shrink);
    surface.SetPenColor(s.pulsePhase == 1 ? ring[kRingSlots - 1 - k] : ring[k]);
  }
  AdvanceRing(s);
  ChooseInjectColor(s);
}

void DrawTunnelSquare(const SessionState& s, Surface& surface, float scale, std::int32_t angle) {
  const double p = cosTable.At(angle, s.pulseDivisor);
  const double q = sinTable.At(angle, s.geoVertical);
  const float a = static_cast<float>(p * scale);
  const float b = static_cast<float>(q * scale);
  std::array<Point, 5> points;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double x = s.tunnelShape[i].x, y = s.tunnelShape[i].y;
    points[i] = {TruncateToInt32(x * a + y * b), TruncateToInt32(y * a - x * b)};
  }
  surface.SelectClip(s.clipRegion);
  surface.SetPenWidth(s.density);
  surface.Polyline(points.data(), static_cast<int>(points.size()));
  surface.SetPenWidth(1);
}

Color DriftColor(SessionState& s, Color current) {
  const Color red = current & 0xFF;
  const auto d1 = static_cast<Color>(Random(s, 64));
  const auto d2 = static_cast<Color>(Random(s, 64));
  const auto d3 = static_cast<Color>(Random(s, 64));
  // Every channel drifts from the previous red byte, not from its own.
  return ((red + d1) & 0xFF) | (((red + d2) & 0xFF) << 8) | (((red + d3) & 0xFF) << 16);
}

}  // namespace kelvane
