#include "render/session_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/main_commands.h"
#include "app/toolkit/main_controls.h"
#include "render/headless_window.h"
#include "session/paradox_table.h"
#include "session/paths.h"
#include "session/session_loader.h"
#include "session/session_state.h"
#include "session/temporary_directory.h"
#include "sound/fluid_player.h"
#include "sound/midi_templates.h"
#include "sound/playback.h"
#include "visual/buffer_surface.h"
#include "visual/pulse.h"
#include "visual/tunnel.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

constexpr double kPulseInterval = HeadlessSession::kSampleRate * 0.050;  // Timer3, 50 ms
constexpr int kLargestWindow = 8192;  // pixels each way
constexpr int kSoundBlock = 512;

// The area's corners as the file gives them, before the loader reads it, so
// the window can be made large enough. The loader reports what is wrong.
Rect PeekArea(const std::string& path) {
  try {
    ParadoxTable table;
    table.SetTableName(path);
    table.Open();
    return {table.FieldAsInteger("AreaX1"), table.FieldAsInteger("AreaY1"), table.FieldAsInteger("AreaX2"),
            table.FieldAsInteger("AreaY2")};
  } catch (const std::exception&) {
    return {};
  }
}

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

// Rows in a template the program's generator wrote: SEQ_<n>X.MID, or SEQ_1.MID.
int TemplateRows(const std::string& name) {
  const int rows = std::atoi(name.c_str() + std::min<std::size_t>(4, name.size()));
  return std::clamp(rows, 1, kMaxItems);
}

}  // namespace

// The main window's parts, wired as the window wires them.
struct HeadlessSession::Parts {
  Parts(const std::string& sessionPath, int width, int height, const RenderOptions& options, const std::int64_t& clock)
      : dataOverride((temporary.Path() / "Kelvane").string()),
        surface(width, height),
        shell([this] { player.Beep(); }),
        timer2(clock, kSampleRate / options.tickRate, true),
        dialog(sessionPath),
        player(FluidPlayerOptions{AudioOutput::ManualClock, options.soundFont, kSampleRate,
                                  [this](std::function<void()> call) { posted.push_back(std::move(call)); }}),
        controls{shell, surface, player, table, dialog, timer2} {
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

  TemporaryDirectory temporary{"kelvane-render"};
  DataDirectoryOverride dataOverride;
  SessionState state;
  BufferSurface surface;
  std::vector<std::function<void()>> posted;
  HeadlessShell shell;
  SimulatedTimer timer2;
  ParadoxTable table;
  ChosenFile dialog;
  FluidPlayer player;
  MainControls controls;
  std::vector<float> left, right;
};

HeadlessSession::HeadlessSession(const std::string& sessionPath, const RenderOptions& options) : options_(options) {
  if (!(options_.tickRate > 0 && options_.tickRate <= kSampleRate)) throw std::invalid_argument("The tick rate must be 1 to 44100 a second");
  if (options_.fps < 1 || options_.fps > 240) throw std::invalid_argument("The frame rate must be 1 to 240 a second");
  const Rect area = PeekArea(sessionPath);
  const int width = WindowExtent(area.left, area.right), height = WindowExtent(area.top, area.bottom);
  parts_ = std::make_unique<Parts>(sessionPath, width, height, options_, clock_);
  crop_ = CropOf(area, width, height);
  Load(sessionPath);
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
  const auto& messages = p.shell.Messages();
  if (std::find(messages.begin(), messages.end(), "File Not an Ambrel!") != messages.end())
    throw std::runtime_error(sessionPath + " is not an Ambrel session (its FileType is '" + p.state.fileType + "')");
  if (!p.state.playing) throw std::runtime_error(sessionPath + ": the session did not start");
}

void HeadlessSession::PlanLength() {
  const SessionState& s = parts_->state;
  const std::int64_t sessionPlays = std::max(s.cycles, 1);
  const std::int64_t plays = options_.cycles ? std::clamp<std::int64_t>(*options_.cycles, 1, sessionPlays) : sessionPlays;
  double seconds = static_cast<double>(plays) * TemplateRows(s.sequenceFileName) * 4.0;
  if (plays == sessionPlays) seconds += kBeepSeconds;
  if (options_.seconds) seconds = std::min(seconds, std::max(0.0, *options_.seconds));
  if (seconds > options_.longest && !options_.seconds)
    throw std::runtime_error("The session lasts " + std::to_string(static_cast<long long>(seconds / 3600)) +
                             " hours; give --seconds or --cycles to take a part of it");
  seconds_ = seconds;
}

std::int64_t HeadlessSession::SoundFrames() const { return std::llround(seconds_ * kSampleRate); }

int HeadlessSession::PictureCount() const {
  return options_.pictures ? static_cast<int>(std::llround(seconds_ * options_.fps)) : 0;
}

void HeadlessSession::AdvanceSound(std::int64_t until, RenderSink& sink) {
  Parts& p = *parts_;
  while (clock_ < until) {
    const int frames = static_cast<int>(std::min<std::int64_t>(kSoundBlock, until - clock_));
    p.left.clear();
    p.right.clear();
    p.player.Advance(frames, &p.left, &p.right);
    clock_ += frames;
    sink.Sound(p.left.data(), p.right.data(), frames);
    // What the output's thread posts reaches the window between two periods.
    p.RunPosted();
  }
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
  const std::int64_t end = SoundFrames();
  const int pictures = PictureCount();
  double nextPulse = kPulseInterval;
  int picture = 0;
  const auto pictureAt = [&](int k) { return static_cast<double>(k) * kSampleRate / options_.fps; };
  double reported = 0;
  while (true) {
    double next = std::min(static_cast<double>(end), nextPulse);
    if (picture < pictures) next = std::min(next, pictureAt(picture));
    if (options_.pictures && p.timer2.Enabled()) next = std::min(next, p.timer2.NextTick());
    AdvanceSound(static_cast<std::int64_t>(std::ceil(next)), sink);
    if (picture < pictures && pictureAt(picture) <= static_cast<double>(clock_)) {
      TakePicture(sink);
      ++picture;
    }
    if (clock_ >= end && picture >= pictures) break;
    while (nextPulse <= static_cast<double>(clock_)) {
      Timer3Timer(p.state);
      nextPulse += kPulseInterval;
    }
    // Ticks that fell due together run once: a timer does not make up missed ticks.
    if (options_.pictures && p.timer2.Enabled() && p.timer2.NextTick() <= static_cast<double>(clock_)) {
      while (p.timer2.NextTick() <= static_cast<double>(clock_)) p.timer2.Fire();
      Timer2Timer(p.state, p.surface);
    }
    if (progress && clock_ - reported >= kSampleRate / 2.0) {
      reported = static_cast<double>(clock_);
      progress(static_cast<double>(clock_) / static_cast<double>(std::max<std::int64_t>(end, 1)));
    }
  }
  if (progress) progress(1.0);
}

}  // namespace kelvane
