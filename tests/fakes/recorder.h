#pragma once
// One log shared by all fakes, so tests can check the order of calls across
// the shell, the surface, the player, the table and the timers.

#include <algorithm>
#include <string>
#include <vector>

namespace kelvane::testing {

struct Recorder {
  std::vector<std::string> calls;
  void Add(std::string call) { calls.push_back(std::move(call)); }
  int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
  bool Has(const std::string& call) const { return Count(call) > 0; }
  // Position of the first call equal to text, or -1.
  int IndexOf(const std::string& call) const {
    auto it = std::find(calls.begin(), calls.end(), call);
    return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
  }
  void Clear() { calls.clear(); }
};

}  // namespace kelvane::testing
