#include "render/flash_check.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <set>
#include <thread>
#include <utility>

#include "render/flash_analyser.h"
#include "visual/pulse.h"

namespace kelvane {
namespace {

// Tick rates spread over what windows reach, closer where the tunnel's
// colours alias against 60 pictures a second: the drift colours repeat
// about every 8.1 ticks, which beats worst near 245 and 735 ticks a second.
constexpr double kRates[] = {30, 60, 120, 180, 245, 320, 490, 735, 1000};
// Each rate is first played for these seconds.
constexpr double kScreenSeconds = 6;
// Around the worst of those, these apart.
constexpr double kCloser[] = {-20, 20};
constexpr double kLowestRate = 30, kHighestRate = 1000;
constexpr int kStepsASecond = 20;  // pulse ticks
// A slow pulse's orbit can take hours; beyond these many starts the session
// is checked from starts spread evenly along it.
constexpr int kMostStarts = 8;

struct PulseState {
  std::int32_t counter;
  bool rising;
  bool operator<(const PulseState& o) const { return std::pair(counter, rising) < std::pair(o.counter, o.rising); }
};

// The pulse after each of its ticks from `start`, with the session's
// PulseFreq, until it comes back to a state it was in and then one second
// more: every second of pictures it can make from there.
std::vector<PulseState> PulsePath(const SessionState& session, PulseState start) {
  SessionState s;
  s.pulseFreq = session.pulseFreq;
  s.pulseCounter = start.counter;
  s.pulseRising = start.rising;
  std::vector<PulseState> path{start};
  std::set<PulseState> seen{start};
  for (int more = -1; more != 0; --more) {
    Timer3Timer(s);
    const PulseState now{s.pulseCounter, s.pulseRising == 1};
    path.push_back(now);
    if (more < 0 && !seen.insert(now).second) more = kStepsASecond;
    if (path.size() > 1000000) break;
  }
  return path;
}

// The states the pulse can be in when the session is opened: those it
// passes through from the program's start (the counter at 1, rising, the
// pulse at the default PulseFreq of 1000 until the first session), and
// those of the session's own cycle, for an Open after it played before.
// All of them lie on the paths from the lowest state up and, when the
// default pulse reaches higher than the session's, from its top down.
std::vector<PulseStart> PulseStarts(const OpenedSession& opened) {
  const std::int64_t own = opened.state.pulseFreq / 16, startup = 1000 / 16;
  std::vector<std::vector<PulseState>> paths{PulsePath(opened.state, {1, true})};
  if (startup > own) paths.push_back(PulsePath(opened.state, {static_cast<std::int32_t>(180 + startup + 1), false}));
  // A session of T seconds shows T - 1 whole seconds from each start.
  const auto stride = static_cast<std::size_t>(std::max(1.0, (opened.tunnelSeconds - 1) * kStepsASecond));
  std::vector<PulseStart> starts;
  for (const auto& path : paths) {
    const std::size_t needed = (path.size() + stride - 1) / stride;
    const std::size_t count = std::min<std::size_t>(needed, kMostStarts);
    for (std::size_t i = 0; i < count; ++i) {
      const PulseState& p =
          path[count == needed ? i * stride : i * (path.size() - 1) / std::max<std::size_t>(1, count - 1)];
      starts.push_back({p.counter, p.rising, p.counter, SessionTimers::kPulseSeconds});
    }
  }
  return starts;
}

std::vector<ShowingWay> Ways(const std::vector<double>& rates, const std::vector<PulseStart>& starts,
                             bool spreadTicks) {
  std::vector<ShowingWay> ways;
  for (double rate : rates)
    for (PulseStart start : starts) {
      // The pulse's next tick at one of three moments in its period, in turn.
      if (spreadTicks) start.firstTick = SessionTimers::kPulseSeconds * (3 - ways.size() % 3) / 3;
      ways.push_back({rate, start});
    }
  return ways;
}

std::vector<PulseStart> StartsOf(const OpenedSession& opened, const FlashCheckOptions& options) {
  return options.pulse ? std::vector<PulseStart>{*options.pulse} : PulseStarts(opened);
}

double Worst(const FlashReport& r) { return std::max(r.light.share, r.red.share); }

bool Worse(const FlashRuleResult& a, const FlashRuleResult& b) {
  return a.share > b.share || (a.share == b.share && a.flashes > b.flashes);
}

bool Worse(const FlashMeasure& a, const FlashMeasure& b) {
  return a.share > b.share || (a.share == b.share && a.flashes > b.flashes);
}

// "250 ticks a second, the pulse at 150 and rising when opened, ..."
std::string WayText(const ShowingWay& way) {
  char text[160];
  std::snprintf(text, sizeof text, "%g ticks a second, the pulse at %d and %s when opened, its next tick %.0f ms later",
                way.tickRate, way.pulse.counter, way.pulse.rising ? "rising" : "falling", way.pulse.firstTick * 1000);
  return text;
}

// The ways of showing the opened session that the check plays first.
std::vector<ShowingWay> WaysToShow(const OpenedSession& opened, const FlashCheckOptions& options) {
  const std::vector<PulseStart> starts = StartsOf(opened, options);
  if (options.tickRate) return Ways({*options.tickRate}, starts, !options.pulse);
  return Ways(std::vector<double>(std::begin(kRates), std::end(kRates)), {starts.front()}, !options.pulse);
}

// The worst of each rule and of each second over all ways.
FlashReport Combine(const std::vector<FlashReport>& reports, const std::vector<ShowingWay>& ways) {
  FlashReport all = reports.front();
  std::size_t worst = 0;
  for (std::size_t i = 1; i < reports.size(); ++i) {
    const FlashReport& r = reports[i];
    if (Worse(r.light, all.light)) all.light = r.light;
    if (Worse(r.red, all.red)) all.red = r.red;
    if (Worst(r) > Worst(reports[worst])) worst = i;
    all.frames = std::max(all.frames, r.frames);
    all.seconds.resize(std::max(all.seconds.size(), r.seconds.size()));
    for (std::size_t s = 0; s < r.seconds.size(); ++s) {
      all.seconds[s].start = r.seconds[s].start;
      if (Worse(r.seconds[s].light, all.seconds[s].light)) all.seconds[s].light = r.seconds[s].light;
      if (Worse(r.seconds[s].red, all.seconds[s].red)) all.seconds[s].red = r.seconds[s].red;
    }
  }
  if (ways.size() > 1) all.worstCase = WayText(ways[worst]);
  return all;
}

class Runner {
 public:
  Runner(const OpenedSession& opened, const FlashCheckOptions& options, std::function<void(double)> progress)
      : opened_(opened), options_(options), progress_(std::move(progress)), shown_(ShownPart(opened, options.window)) {}

  // Every way's report, the ways shared out among the cores.
  // At most `seconds` of each when given.
  std::vector<FlashReport> Play(const std::vector<ShowingWay>& ways, double doneBefore, double share,
                                std::optional<double> seconds = {}) {
    std::vector<FlashReport> reports(ways.size());
    std::atomic<std::size_t> next{0};
    std::atomic<long long> frames{0};
    std::atomic<unsigned> finished{0};
    std::vector<std::exception_ptr> errors(ways.size());
    const auto work = [&] {
      for (std::size_t i; (i = next++) < ways.size();) {
        try {
          reports[i] = PlayOne(ways[i], seconds, frames);
        } catch (...) {
          errors[i] = std::current_exception();
        }
      }
      ++finished;
    };
    const unsigned cores = options_.threads > 0 ? static_cast<unsigned>(options_.threads)
                                                : std::max(1u, std::thread::hardware_concurrency());
    const auto workers = static_cast<unsigned>(std::min<std::size_t>(cores, ways.size()));
    std::vector<std::thread> threads;
    for (unsigned c = 0; c < workers; ++c) threads.emplace_back(work);
    const double total =
        static_cast<double>(ways.size()) * std::max(1.0, std::min(opened_.seconds, seconds.value_or(1e18)) * options_.fps);
    while (progress_ && finished.load() < workers) {
      progress_(doneBefore + share * std::min(1.0, static_cast<double>(frames.load()) / total));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (auto& t : threads) t.join();
    for (const auto& error : errors)
      if (error) std::rethrow_exception(error);
    return reports;
  }

 private:
  FlashReport PlayOne(const ShowingWay& way, std::optional<double> seconds, std::atomic<long long>& frames) const {
    TunnelPictures pictures(opened_, way, options_.fps);
    FlashRules rules{static_cast<double>(options_.fps), options_.fieldWidth, options_.fieldHeight};
    FlashAnalyser analyser(std::max(1, shown_.right - shown_.left), std::max(1, shown_.bottom - shown_.top), rules);
    const std::vector<std::uint32_t> black(1, 0xFF000000u);
    const double most = seconds ? *seconds * options_.fps : 1e18;
    Frame f;
    for (int n = 0; n < most && pictures.Next(f); ++n, ++frames) {
      if (options_.stop != nullptr && options_.stop->load()) throw FlashCheckStopped();
      if (shown_.right <= shown_.left || shown_.bottom <= shown_.top)
        f = {black.data(), 1, 1, 1};
      else
        f = {f.pixels + static_cast<std::ptrdiff_t>(shown_.top) * f.stride + shown_.left, shown_.right - shown_.left,
             shown_.bottom - shown_.top, f.stride};
      analyser.AddFrame(f);
    }
    return analyser.Report();
  }

  const OpenedSession& opened_;
  const FlashCheckOptions& options_;
  std::function<void(double)> progress_;
  Rect shown_;
};

}  // namespace

Rect ShownPart(const OpenedSession& opened, const ShownWindow& window) {
  const Rect& crop = opened.crop;
  const Rect shown{std::max(crop.left, 0), std::max(crop.top, 0),
                   std::min(crop.right, window.width - window.panelWidth), std::min(crop.bottom, window.height)};
  if (shown.right <= shown.left || shown.bottom <= shown.top) return {};
  return {shown.left - crop.left, shown.top - crop.top, shown.right - crop.left, shown.bottom - crop.top};
}


// First every rate from the first pulse start; then, around the rate that
// was worst, rates closer to it, and that rate from every other start: the
// rate mostly decides how the colours beat against the pictures, the pulse
// start which outlines a second holds.
FlashCheck CheckFlashes(const OpenedSession& opened, const FlashCheckOptions& options,
                        const std::function<void(double)>& progress) {
  Runner runner(opened, options, progress);
  const bool everyRate = !options.tickRate;
  std::vector<ShowingWay> ways = WaysToShow(opened, options);
  // Every rate, from the first pulse start, over the first seconds alone:
  // how the colours beat against the pictures shows in any few seconds.
  std::vector<FlashReport> reports =
      runner.Play(ways, 0, everyRate ? 0.3 : 1.0, everyRate ? std::optional(kScreenSeconds) : std::nullopt);
  if (everyRate) {
    std::vector<std::size_t> order(ways.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return Worst(reports[a]) > Worst(reports[b]); });
    const double worstRate = ways[order[0]].tickRate;
    // The whole session at the two worst rates, either side of the worst,
    // and at the worst from every other pulse start.
    std::vector<double> rates{worstRate};
    if (order.size() > 1) rates.push_back(ways[order[1]].tickRate);
    for (double d : kCloser)
      if (const double r = worstRate + d; r >= kLowestRate && r <= kHighestRate) rates.push_back(r);
    const std::vector<PulseStart> starts = StartsOf(opened, options);
    std::vector<ShowingWay> more = Ways(rates, {starts.front()}, !options.pulse);
    const std::vector<ShowingWay> otherStarts = Ways({worstRate}, {starts.begin() + 1, starts.end()}, !options.pulse);
    more.insert(more.end(), otherStarts.begin(), otherStarts.end());
    const std::vector<FlashReport> moreReports = runner.Play(more, 0.3, 0.7);
    ways.insert(ways.end(), more.begin(), more.end());
    reports.insert(reports.end(), moreReports.begin(), moreReports.end());
  }
  if (progress) progress(1.0);
  FlashReport report = Combine(reports, ways);
  if (everyRate) report.mostShare = kMostFlashingShare - kSessionMargin;
  report.light.fails = report.light.share > report.mostShare;
  report.red.fails = report.red.share > report.mostShare;
  return {report, static_cast<int>(ways.size())};
}


}  // namespace kelvane
