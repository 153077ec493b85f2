#pragma once
// The flash check of a session: its pictures, as a window would show them,
// measured against the thresholds for every way a window may show them.
//
// A window's tunnel timer reaches anything from about 30 to 1000 ticks a
// second, and the pulse stands wherever it happens to be when a session is
// opened. The check plays the session at a set of tick rates spread over
// that range, then more closely around the worst of them, and for every
// state the pulse can be in at an Open, and reports the worst of all.
// Sessions pass only with a margin below the threshold, for the rates
// between those checked.

#include <atomic>
#include <functional>
#include <stdexcept>
#include <optional>
#include <string>
#include <vector>

#include "render/flash_report.h"
#include "render/session_renderer.h"
#include "render/tunnel_pictures.h"
#include "toolkit/geometry.h"

namespace kelvane {

// The part of the main window that shows a session: its drawing area,
// below the menu bar and above the status bar, less the comment panel on
// the right; the default is the window maximised on a 1024 x 768 screen.
struct ShownWindow {
  int width = 1024;
  int height = 710;
  int panelWidth = 172;
};

struct FlashCheckOptions {
  int fps = 60;
  int fieldWidth = 341;  // a 10-degree field of view on a 1024 x 768 screen
  int fieldHeight = 256;
  ShownWindow window;
  std::optional<double> tickRate;   // one rate only
  std::optional<PulseStart> pulse;  // one opening moment only
  int threads = 0;                  // 0: one a core
  // The check stops soon after this becomes true, throwing FlashCheckStopped.
  const std::atomic<bool>* stop = nullptr;
};

struct FlashCheckStopped : std::runtime_error {
  FlashCheckStopped() : std::runtime_error("the flash check was stopped") {}
};

// A share above this fails a session: the threshold less the margin.
inline constexpr double kSessionMargin = 0.03;

struct FlashCheck {
  FlashReport report;  // the worst of all ways; its worstCase names the way
  int ways = 0;        // ways of showing the session played
};

// Plays them on every core; progress gets the share done, on this thread.
FlashCheck CheckFlashes(const OpenedSession& opened, const FlashCheckOptions& options,
                        const std::function<void(double)>& progress = {});

// The part of the crop that the window shows, in the crop's pixels; empty
// when none of it shows.
Rect ShownPart(const OpenedSession& opened, const ShownWindow& window);

}  // namespace kelvane
