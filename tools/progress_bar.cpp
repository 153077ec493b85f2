#include "tools/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace kelvane {
namespace {

std::string Clock(double seconds) {
  const long whole = static_cast<long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

ProgressBar::ProgressBar(std::string what, double seconds)
    : what_(std::move(what)), seconds_(seconds), terminal_(isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
  if (drawn_) std::fputc('\n', stderr);
}

void ProgressBar::Show(double done) {
  const auto now = std::chrono::steady_clock::now();
  // Quick work shows nothing, and the bar is redrawn ten times a second at most.
  if (!terminal_ || now - start_ < std::chrono::seconds(1) || (now - last_ < std::chrono::milliseconds(100) && done < 1))
    return;
  last_ = now;
  done = std::clamp(done, 0.0, 1.0);
  constexpr int kWidth = 30;
  const int filled = static_cast<int>(done * kWidth);
  std::fprintf(stderr, "\r%s [%s%s] %3d%%  %s of %s", what_.c_str(), std::string(filled, '#').c_str(),
               std::string(kWidth - filled, '-').c_str(), static_cast<int>(done * 100),
               Clock(done * seconds_).c_str(), Clock(seconds_).c_str());
  std::fflush(stderr);
  drawn_ = true;
}

}  // namespace kelvane
