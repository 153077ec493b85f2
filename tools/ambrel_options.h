#pragma once
// The options of `ambrel check` and `ambrel render`, read from the command
// line after the command and its files.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/session_renderer.h"

namespace kelvane {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct AmbrelOptions {
  RenderOptions render;
  int fieldWidth = 341;  // a 10-degree field of view on a 1024 x 768 screen
  int fieldHeight = 256;
  bool json = false;
};

// The words after the files: --seconds N, --cycles N, --tick-rate N, --fps N,
// --field WxH, --json; `allowed` lists those the command takes. Throws
// UsageError naming what is wrong.
AmbrelOptions ParseAmbrelOptions(const std::vector<std::string>& words, const std::vector<std::string>& allowed);

}  // namespace kelvane
