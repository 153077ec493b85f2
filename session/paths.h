#pragma once
// The program keeps its fixed Windows paths as texts and maps them here onto
// the data directory, so stored names and messages stay as they always were.

#include <string>
#include <string_view>

namespace kelvane {

inline constexpr std::string_view kSessionDirectory = "C:\\Kelvane\\Ambrels";
inline constexpr std::string_view kAudioDirectory = "c:\\Kelvane\\Audio_Information\\";

// $XDG_DATA_HOME/Kelvane, else $HOME/.local/share/Kelvane.
std::string DataDirectory();

// "C:\Kelvane\..." (any letter case) becomes the data directory, backslashes
// become slashes; other paths are returned with only that change. The last
// component is matched without regard to letter case when the exact name
// does not exist, so a template copied in as seq_3x.mid is found.
std::string HostPath(std::string_view windowsPath);

}  // namespace kelvane
