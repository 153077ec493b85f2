#include "state/paths.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace kelvane {
namespace {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The existing entry of dir whose name matches name without regard to case, if any.
std::string MatchCase(const std::filesystem::path& dir, const std::string& name) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::string candidate = entry.path().filename().string();
    if (EqualsIgnoreCase(candidate, name)) return candidate;
  }
  return name;
}

thread_local std::string overriddenDirectory;

}  // namespace

DataDirectoryOverride::DataDirectoryOverride(std::string directory) : previous_(std::move(overriddenDirectory)) {
  overriddenDirectory = std::move(directory);
}

DataDirectoryOverride::~DataDirectoryOverride() { overriddenDirectory = std::move(previous_); }

std::string DataDirectory() {
  if (!overriddenDirectory.empty()) return overriddenDirectory;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/Kelvane";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    // Started without a HOME (from a service, say): the account's own.
    const passwd* account = getpwuid(getuid());
    home = account != nullptr ? account->pw_dir : "/tmp";
  }
  return std::string(home) + "/.local/share/Kelvane";
}

std::string HostPath(std::string_view windowsPath) {
  constexpr std::string_view prefix = "C:\\Kelvane\\";
  std::string path;
  if (windowsPath.size() >= prefix.size() && EqualsIgnoreCase(windowsPath.substr(0, prefix.size()), prefix)) {
    path = DataDirectory() + "/" + std::string(windowsPath.substr(prefix.size()));
  } else if (EqualsIgnoreCase(windowsPath, "C:\\Kelvane")) {
    path = DataDirectory();
  } else {
    path = std::string(windowsPath);
  }
  std::replace(path.begin(), path.end(), '\\', '/');
  const auto cut = path.find_last_of('/');
  if (cut == std::string::npos || cut + 1 == path.size()) return path;
  const std::filesystem::path full(path);
  std::error_code ec;
  if (std::filesystem::exists(full, ec)) return path;
  return path.substr(0, cut + 1) + MatchCase(path.substr(0, cut), path.substr(cut + 1));
}

}  // namespace kelvane
