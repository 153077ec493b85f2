#pragma once
// The command line of `ambrel`: a command, its files and its options, which
// may stand before, between or after the files.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/flash_check.h"
#include "render/session_renderer.h"

namespace kelvane {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct AmbrelCommand {
  std::string name;  // create, show, check or render
  std::vector<std::string> files;
  RenderOptions render;
  FlashCheckOptions check;
  bool fieldGiven = false;
  bool json = false;
  std::string csv;   // check: one row a second to this file
  std::string plot;  // check: a PNG of the seconds to this file
};

// Throws UsageError naming what is wrong: an unknown command or option, an
// option the command does not take, a value out of range, files missing.
AmbrelCommand ParseAmbrelCommand(const std::vector<std::string>& args);

}  // namespace kelvane
