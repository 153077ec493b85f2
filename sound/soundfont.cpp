#include "sound/soundfont.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace kelvane {

const std::vector<std::string>& DefaultSoundFonts() {
  static const std::vector<std::string> fonts = {
      "/usr/share/sounds/sf2/default-GM.sf2",
      "/usr/share/sounds/sf3/default-GM.sf3",
      "/usr/share/sounds/sf2/FluidR3_GM.sf2",
      "/usr/share/sounds/sf2/TimGM6mb.sf2",
  };
  return fonts;
}

std::string FindSoundFont(const std::vector<std::string>& candidates) {
  for (const std::string& path : candidates) {
    std::error_code error;
    // A dangling default-GM link (its alternative removed) counts as missing.
    if (std::filesystem::is_regular_file(path, error)) return path;
  }
  std::string looked;
  for (const std::string& path : candidates) looked += (looked.empty() ? "" : ", ") + path;
  throw std::runtime_error("No General MIDI SoundFont is installed (looked for " + looked +
                           "); install the package timgm6mb-soundfont");
}

}  // namespace kelvane
