#include "render/tunnel_pictures.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "visual/buffer_surface.h"
#include "visual/pulse.h"
#include "visual/raster.h"
#include "visual/tunnel.h"

namespace kelvane {
namespace {

constexpr double kSampleRate = HeadlessSession::kSampleRate;
// Ring slots 0..388 move on each tick; ticks up to 0 are those slots at the Open.
constexpr std::int64_t kStreamBefore = kRingSlots - 2;
constexpr std::size_t kOutlinesKept = 4;
const std::uint32_t kBlackPixel = ToPixel(0);
const std::uint32_t kWhitePixel = ToPixel(0xFFFFFF);

// Square k's pen as a colour that names it (k + 1, never black or white).
Color SquareCode(int square) {
  const auto code = static_cast<Color>(square + 1);
  return (code & 0xFF) | ((code >> 8) << 8);
}

int SquareOfPixel(std::uint32_t pixel) {
  if (pixel == kWhitePixel) return 0;
  return static_cast<int>(((pixel >> 16) & 0xFF) | (((pixel >> 8) & 0xFF) << 8)) - 1;
}

}  // namespace

TunnelPictures::TunnelPictures(const OpenedSession& opened, const ShowingWay& way, int fps)
    : opened_(opened),
      fps_(fps),
      count_(static_cast<int>(std::llround(opened.seconds * fps))),
      pulse_(opened.state),
      colours_(opened.state),
      timers_(kSampleRate, way.tickRate, way.pulse.firstTick),
      tunnelEnd_(opened.tunnelSeconds * kSampleRate),
      picture_(opened.picture),
      lastSlotPixel_(ToPixel(opened.state.ColorRing()[kRingSlots - 1])) {
  if (!(way.tickRate > 0 && way.tickRate <= kSampleRate))
    throw std::invalid_argument("The tick rate must be 1 to 44100 a second");
  if (fps < 1) throw std::invalid_argument("The frame rate must be at least 1");
  pulse_.pulseCounter = way.pulse.counter;
  pulse_.pulseRising = way.pulse.rising ? 1 : 0;
  pulse_.pulseDivisor = way.pulse.divisor;
  const auto ring = opened.state.ColorRing();
  for (std::int64_t m = -kStreamBefore; m <= 0; ++m) stream_.push_back(ToPixel(ring[static_cast<std::size_t>(-m)]));
  stream_.push_back(ToPixel(colours_.injectColor));  // what the first tick sends in
  outline_ = &OutlineOf(pulse_.pulseDivisor);
  firstTickHere_ = 1;
}

TunnelPictures::~TunnelPictures() = default;

// The real tunnel drawn once at this divisor, on a black window of its own,
// each square in the colour that names it; later squares cover earlier ones
// as they do at every tick.
const TunnelPictures::Outline& TunnelPictures::OutlineOf(std::int32_t divisor) {
  if (const auto found = outlines_.find(divisor); found != outlines_.end()) return *found->second;
  if (outlines_.size() >= kOutlinesKept) outlines_.erase(outlines_.begin());
  SessionState s = opened_.state;
  s.pulseDivisor = divisor;
  auto ring = s.ColorRing();
  for (int k = 1; k < kRingSlots; ++k)
    ring[static_cast<std::size_t>(s.pulsePhase == 1 ? kRingSlots - k : k - 1)] = SquareCode(k);
  const Rect& crop = opened_.crop;
  if (!scratch_) scratch_ = std::make_unique<BufferSurface>(crop.right, crop.bottom);
  BufferSurface& surface = *scratch_;
  surface.Repaint();
  Timer2Timer(s, surface);
  // The tunnel draws inside the area alone.
  const Rect area = s.clipRegion ? Normalized(*s.clipRegion) : crop;
  auto outline = std::make_unique<Outline>();
  for (int y = std::max(crop.top, area.top); y < std::min(crop.bottom, area.bottom); ++y)
    for (int x = std::max(crop.left, area.left); x < std::min(crop.right, area.right); ++x) {
      const std::uint32_t pixel = surface.Pixels()[static_cast<std::size_t>(y) * surface.Width() + x];
      if (pixel == kBlackPixel) continue;
      outline->pixels.push_back(static_cast<std::uint32_t>((y - crop.top) * Width() + (x - crop.left)));
      outline->squares.push_back(static_cast<std::uint16_t>(SquareOfPixel(pixel)));
    }
  return *outlines_.emplace(divisor, std::move(outline)).first->second;
}

void TunnelPictures::GrowStream(std::int64_t tick) {
  while (static_cast<std::int64_t>(stream_.size()) - kStreamBefore <= tick) {
    ChooseInjectColor(colours_);
    stream_.push_back(ToPixel(colours_.injectColor));
  }
}

// The pen of square k at tick n: white for the first square; then ring slot
// k - 1, or slot 390 - k when the colours run backwards; the ring's slot j
// at tick n holds what entered at tick n - 1 - j.
std::uint32_t TunnelPictures::SquarePixel(int square, std::int64_t tick) {
  if (square == 0) return kWhitePixel;
  const bool backwards = opened_.state.pulsePhase == 1;
  if (backwards && square == 1) return lastSlotPixel_;
  const std::int64_t entered = backwards ? tick + square - (kRingSlots + 1) : tick - square;
  return stream_[static_cast<std::size_t>(entered + kStreamBefore)];
}

void TunnelPictures::Paint(const Outline& outline, std::int64_t tick) {
  GrowStream(tick);
  std::uint32_t pens[kRingSlots];
  for (int k = 0; k < kRingSlots; ++k) pens[k] = SquarePixel(k, tick);
  for (std::size_t i = 0; i < outline.pixels.size(); ++i) picture_[outline.pixels[i]] = pens[outline.squares[i]];
  paintedTick_ = tick;
}

bool TunnelPictures::Next(Frame& picture) {
  const auto pictureAt = [&](int k) { return static_cast<double>(k) * kSampleRate / fps_; };
  while (next_ < count_) {
    // The renderer's clock: whole samples, the picture before the ticks due with it.
    const double clock = std::ceil(std::min(pictureAt(next_), timers_.NextTick()));
    timers_.AdvanceTo(clock);
    if (timers_.TunnelTimer().Enabled() && clock >= tunnelEnd_) timers_.TunnelTimer().SetEnabled(false);
    if (pictureAt(next_) <= clock) {
      if (ticks_ >= firstTickHere_ && paintedTick_ != ticks_) Paint(*outline_, ticks_);
      ++next_;
      picture = {picture_.data(), Width(), Height(), Width()};
      return true;
    }
    const SessionTimers::Due due = timers_.TakeDue();
    if (due.pulse) {
      const std::int32_t before = pulse_.pulseDivisor;
      Timer3Timer(pulse_);
      if (pulse_.pulseDivisor != before) {
        if (ticks_ >= firstTickHere_ && paintedTick_ != ticks_) Paint(*outline_, ticks_);
        outline_ = &OutlineOf(pulse_.pulseDivisor);
        firstTickHere_ = ticks_ + 1;
        paintedTick_ = -1;
      }
    }
    if (due.tunnel) ++ticks_;
  }
  return false;
}

}  // namespace kelvane
