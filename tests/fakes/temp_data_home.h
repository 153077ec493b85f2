#pragma once
// A throw-away data directory: XDG_DATA_HOME points into a fresh temporary
// directory while the object lives, so HostPath maps the program's fixed
// Windows paths there and nothing touches the real home.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "state/paths.h"
#include "state/temporary_directory.h"

namespace kelvane::testing {

class TempDataHome {
 public:
  TempDataHome() {
    if (const char* old = std::getenv("XDG_DATA_HOME")) previous_ = old;
    setenv("XDG_DATA_HOME", Root().c_str(), 1);
  }
  ~TempDataHome() {
    if (previous_) setenv("XDG_DATA_HOME", previous_->c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
  }
  TempDataHome(const TempDataHome&) = delete;
  TempDataHome& operator=(const TempDataHome&) = delete;

  // Kelvane/Audio_Information under the temporary directory, created.
  std::filesystem::path AudioDirectory() const {
    const std::filesystem::path dir = Root() / "Kelvane" / "Audio_Information";
    std::filesystem::create_directories(dir);
    return dir;
  }

 private:
  const std::filesystem::path& Root() const { return root_.Path(); }

  TemporaryDirectory root_{"kelvane-test"};
  std::optional<std::string> previous_;
};

}  // namespace kelvane::testing
