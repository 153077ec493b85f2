#pragma once
// The program keeps its fixed Windows paths as texts and maps them here onto
// the data directory, so stored names and messages stay as they always were.

#include <string>
#include <string_view>

namespace kelvane {

inline constexpr std::string_view kSessionDirectory = "C:\\Kelvane\\Ambrels";
inline constexpr std::string_view kAudioDirectory = "c:\\Kelvane\\Audio_Information\\";

// $XDG_DATA_HOME/Kelvane, else $HOME/.local/share/Kelvane; on a thread
// that holds a DataDirectoryOverride, its directory.
std::string DataDirectory();

// While it lives, DataDirectory() on this thread answers `directory`: the
// headless renderer patches its own copy of the templates, never the user's.
class DataDirectoryOverride {
 public:
  explicit DataDirectoryOverride(std::string directory);
  ~DataDirectoryOverride();
  DataDirectoryOverride(const DataDirectoryOverride&) = delete;
  DataDirectoryOverride& operator=(const DataDirectoryOverride&) = delete;

 private:
  std::string previous_;
};

// "C:\Kelvane\..." (any letter case) becomes the data directory, backslashes
// become slashes; other paths are returned with only that change. The last
// component is matched without regard to letter case when the exact name
// does not exist, so a template copied in as seq_3x.mid is found.
std::string HostPath(std::string_view windowsPath);

}  // namespace kelvane
