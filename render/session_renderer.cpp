#include "render/session_renderer.h"

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "commands/main_commands.h"
#include "render/headless_window.h"
#include "session/paradox_table.h"
#include "session/session_loader.h"
#include "sound/fluid_player.h"
#include "sound/midi_templates.h"
#include "sound/play_length.h"
#include "sound/playback.h"
#include "state/paths.h"
#include "state/session_state.h"
#include "state/temporary_directory.h"
#include "toolkit/main_controls.h"
#include "visual/buffer_surface.h"
#include "visual/session_timers.h"

namespace kelvane {
namespace {

constexpr int kLargestWindow = 8192;  // pixels each way
constexpr std::size_t kSoundBlock = 512;  // frames handed on at once, at most
constexpr auto kEndBeepFrames = static_cast<std::int64_t>(HeadlessSession::kEndBeepSeconds * HeadlessSession::kSampleRate);

int WindowExtent(std::int32_t a, std::int32_t b) {
  return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{std::max(a, b)} + 3, 1, kLargestWindow));
}

// The area with its frame, inside the window.
Rect CropOf(const Rect& area, int width, int height) {
  const Rect r = Normalized(area);
  const auto cut = [](std::int64_t v, int hi) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, hi)); };
  Rect crop{cut(std::int64_t{r.left} - 2, width), cut(std::int64_t{r.top} - 2, height),
            cut(std::int64_t{r.right} + 2, width), cut(std::int64_t{r.bottom} + 2, height)};
  if (crop.right <= crop.left) crop.right = std::min(width, crop.left + 1), crop.left = crop.right - 1;
  if (crop.bottom <= crop.top) crop.bottom = std::min(height, crop.top + 1), crop.top = crop.bottom - 1;
  return crop;
}

// While it lives, the signals that interrupt a command line's work wait on
// this thread; one that came meanwhile arrives when it goes.
class HeldInterrupts {
 public:
  HeldInterrupts() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &before_);
  }
  ~HeldInterrupts() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
  HeldInterrupts(const HeldInterrupts&) = delete;
  HeldInterrupts& operator=(const HeldInterrupts&) = delete;

 private:
  sigset_t before_;
};

}  // namespace

// The main window's parts, wired as the window wires them.
struct HeadlessSession::Parts {
  // The window's size follows the session's area once it is loaded.
  Parts(std::unique_ptr<Table> sessionTable, const std::string& sessionPath, const RenderOptions& options)
      : dataOverride((temporary->Path() / "Kelvane").string()),
        surface(1, 1),
        shell([this] {
          player.Beep();
          ++beeps;
        }),
        timers(kSampleRate, options.tickRate, options.pulse.firstTick),
        table(std::move(sessionTable)),
        dialog(sessionPath),
        player(FluidPlayerOptions{AudioOutput::ManualClock, options.soundFont, kSampleRate,
                                  [this](std::function<void()> call) { posted.push_back(std::move(call)); }}),
        controls{shell, surface, player, *table, dialog, timers.TunnelTimer()} {
    WriteMissingTemplates(HostPath(kAudioDirectory));
    surface.onPaint = [this] { FormPaint(state, controls); };
    player.SetOnNotify([this] { MediaPlayer1Notify(state, controls); });
  }

  void RunPosted() {
    while (!posted.empty()) {
      auto calls = std::move(posted);
      posted.clear();
      for (auto& call : calls) call();
    }
  }

  // The templates, needed only until the Open has read the session's.
  std::optional<TemporaryDirectory> temporary{std::in_place, "kelvane-render"};
  DataDirectoryOverride dataOverride;
  SessionState state;
  BufferSurface surface;
  std::vector<std::function<void()>> posted;
  int beeps = 0;
  HeadlessShell shell;
  SessionTimers timers;
  std::unique_ptr<Table> table;
  ChosenFile dialog;
  FluidPlayer player;
  MainControls controls;
  std::vector<float> left, right;
};

HeadlessSession::HeadlessSession(const std::string& sessionPath, const RenderOptions& options)
    : HeadlessSession(std::make_unique<ParadoxTable>(), sessionPath, options) {}

HeadlessSession::HeadlessSession(std::unique_ptr<Table> table, const std::string& sessionPath,
                                 const RenderOptions& options)
    : options_(options) {
  if (!(options_.tickRate > 0 && options_.tickRate <= kSampleRate)) throw std::invalid_argument("The tick rate must be 1 to 44100 a second");
  if (options_.fps < 1 || options_.fps > 240) throw std::invalid_argument("The frame rate must be 1 to 240 a second");
  if (!(options_.pulse.firstTick > 0 && options_.pulse.firstTick <= SessionTimers::kPulseSeconds))
    throw std::invalid_argument("The pulse's next tick must come within 50 ms");
  {
    // The temporary templates go before an interrupted command line ends:
    // they are gone once the Open has read the session's, whatever happens
    // after, and a signal that comes sooner waits until then.
    const HeldInterrupts held;
    try {
      parts_ = std::make_unique<Parts>(std::move(table), sessionPath, options_);
      SessionState& s = parts_->state;
      s.pulseCounter = options_.pulse.counter;
      s.pulseRising = options_.pulse.rising ? 1 : 0;
      s.pulseDivisor = options_.pulse.divisor;
      Load(sessionPath);
    } catch (...) {
      parts_.reset();
      throw;
    }
    parts_->temporary.reset();
  }
  const SessionState& s = parts_->state;
  // A window just large enough for the area and its frame: a new, black
  // image, painted as after a resize, before the first tunnel tick.
  const int width = WindowExtent(s.areaX1, s.areaX2), height = WindowExtent(s.areaY1, s.areaY2);
  parts_->surface.Resize(width, height);
  crop_ = CropOf({s.areaX1, s.areaY1, s.areaX2, s.areaY2}, width, height);
  PlanLength();
}

HeadlessSession::~HeadlessSession() = default;

const std::vector<std::string>& HeadlessSession::Messages() const { return parts_->shell.Messages(); }

// The first activation, then Open with the file chosen; an error that the
// window would show in its error box ends the render instead.
void HeadlessSession::Load(const std::string& sessionPath) {
  Parts& p = *parts_;
  try {
    FormActivate(p.state, p.controls);
    OpenAmbrelMenuClick(p.state, p.controls);
  } catch (const std::exception& e) {
    throw std::runtime_error(sessionPath + ": " + e.what());
  }
  if (p.state.fileType != kAmbrelFileType)
    throw std::runtime_error(sessionPath + " is not an Ambrel session (its FileType is '" + p.state.fileType + "')");
  if (!p.state.playing) throw std::runtime_error(sessionPath + ": the session did not start");
}

// Each play starts one synthesizer step after the step in which the one
// before it ended (see AdvanceSound); the last one asked for ends the render,
// or, when it is the session's last, its end beep does a second later.
void HeadlessSession::PlanLength() {
  const SessionState& s = parts_->state;
  const std::int64_t sessionPlays = std::max(s.cycles, 1);
  plays_ = options_.cycles ? std::clamp<std::int64_t>(*options_.cycles, 1, sessionPlays) : sessionPlays;
  playFrames_ = PlayEndFrame(PlayedRows(s), kSampleRate) + kSynthStepFrames;
  std::int64_t frames = plays_ * playFrames_;
  tunnelFrames_ = frames;
  if (plays_ == sessionPlays) frames += kEndBeepFrames;
  if (options_.seconds) frames = std::min<std::int64_t>(frames, std::llround(std::max(0.0, *options_.seconds) * kSampleRate));
  if (static_cast<double>(frames) > options_.longest * kSampleRate && !options_.seconds)
    throw std::runtime_error("The session lasts " + std::to_string(static_cast<long long>(frames / kSampleRate / 3600)) +
                             " hours; give --seconds or --cycles to take a part of it");
  SetLength(frames);
  tunnelFrames_ = std::min(tunnelFrames_, frames_);
  tunnelSeconds_ = static_cast<double>(tunnelFrames_) / kSampleRate;
}

void HeadlessSession::SetLength(std::int64_t frames) {
  frames_ = frames;
  seconds_ = static_cast<double>(frames) / kSampleRate;
}

OpenedSession HeadlessSession::Opened() const {
  const BufferSurface& surface = parts_->surface;
  OpenedSession opened{parts_->state, {}, crop_, tunnelSeconds_, seconds_};
  for (int y = crop_.top; y < crop_.bottom; ++y) {
    const auto row = surface.Pixels().begin() + static_cast<std::ptrdiff_t>(y) * surface.Width();
    opened.picture.insert(opened.picture.end(), row + crop_.left, row + crop_.right);
  }
  return opened;
}

int HeadlessSession::PictureCount() const {
  return options_.pictures ? static_cast<int>(std::llround(seconds_ * options_.fps)) : 0;
}

// FluidSynth finds the end of a play at the start of one of its 64-frame
// steps and posts it once the render call returns; the window handles what
// was posted between two sound periods. Here that happens at every step's
// boundary and nowhere else, wherever pictures and ticks cut the sound, so a
// video and a sound file of one session hold the same samples, and the next
// play starts exactly one step after the step in which the last one ended.
void HeadlessSession::AdvanceSound(std::int64_t until, RenderSink& sink) {
  Parts& p = *parts_;
  const auto handOn = [&] {
    sink.Sound(p.left.data(), p.right.data(), static_cast<int>(p.left.size()));
    p.left.clear();
    p.right.clear();
  };
  until = std::min(until, frames_);
  while (clock_ < until) {
    const std::int64_t step = (clock_ / kSynthStepFrames + 1) * kSynthStepFrames;
    const int frames = static_cast<int>(std::min(step, until) - clock_);
    p.player.Advance(frames, &p.left, &p.right);
    clock_ += frames;
    p.timers.AdvanceTo(static_cast<double>(clock_));
    if (p.left.size() >= kSoundBlock) handOn();
    if (clock_ != step) continue;
    const int beeps = p.beeps;
    p.RunPosted();
    FollowTheEnd(p.beeps > beeps);
    until = std::min(until, frames_);
  }
  if (!p.left.empty()) handOn();
}

// The render ends where the session does, which the plan foresees: a second
// after the end beep, or where the last play asked for ends. A synthesizer
// that ends its plays elsewhere moves the end with it.
void HeadlessSession::FollowTheEnd(bool beeped) {
  const SessionState& s = parts_->state;
  std::optional<std::int64_t> end;
  if (beeped) end = clock_ + kEndBeepFrames;
  else if (s.currentCycle > plays_ && !ended_) end = clock_;
  if (!end) return;
  ended_ = true;
  if (options_.seconds) end = std::min<std::int64_t>(*end, std::llround(*options_.seconds * kSampleRate));
  SetLength(*end);
}

void HeadlessSession::TakePicture(RenderSink& sink) {
  const BufferSurface& surface = parts_->surface;
  const std::uint32_t* origin = surface.Pixels().data() + static_cast<std::ptrdiff_t>(crop_.top) * surface.Width() + crop_.left;
  sink.Picture(Frame{origin, Width(), Height(), surface.Width()});
}

// Events in time order: sound up to the next one, then pulse ticks, tunnel
// ticks and pictures due at that sample.
void HeadlessSession::Run(RenderSink& sink, const std::function<void(double)>& progress) {
  Parts& p = *parts_;
  // Where --seconds cuts the render, and how far past the plan it follows a
  // session that has not ended yet.
  const std::int64_t cut =
      options_.seconds ? std::llround(*options_.seconds * kSampleRate) : std::numeric_limits<std::int64_t>::max();
  const std::int64_t latest = frames_ + playFrames_;
  int picture = 0;
  const auto pictureAt = [&](int k) { return static_cast<double>(k) * kSampleRate / options_.fps; };
  double reported = 0;
  while (true) {
    double next = static_cast<double>(frames_);
    if (picture < PictureCount()) next = std::min(next, pictureAt(picture));
    if (options_.pictures) next = std::min(next, p.timers.NextTick());
    AdvanceSound(static_cast<std::int64_t>(std::ceil(next)), sink);
    if (picture < PictureCount() && pictureAt(picture) <= static_cast<double>(clock_)) {
      TakePicture(sink);
      ++picture;
    }
    if (clock_ >= frames_ && picture >= PictureCount()) {
      if (ended_ || clock_ >= cut || clock_ >= latest) break;
      SetLength(frames_ + kSynthStepFrames);  // the session has not ended yet
    }
    if (options_.pictures) p.timers.RunDue(p.state, p.surface);
    if (progress && clock_ - reported >= kSampleRate / 10.0) {
      reported = static_cast<double>(clock_);
      progress(static_cast<double>(clock_) / static_cast<double>(std::max<std::int64_t>(frames_, 1)));
    }
  }
  if (!ended_ && clock_ < cut) throw std::runtime_error("The session did not end within a play of its planned length");
  if (progress) progress(1.0);
}

}  // namespace kelvane
