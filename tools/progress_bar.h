#pragma once
// A progress bar on standard error for work that takes more than a second,
// drawn only when standard error is a terminal.

#include <chrono>
#include <string>

namespace kelvane {

class ProgressBar {
 public:
  // `seconds`: the length of what is rendered, shown beside the bar.
  ProgressBar(std::string what, double seconds);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Show(double done);  // share done, 0 to 1

 private:
  std::string what_;
  double seconds_;
  bool terminal_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace kelvane
