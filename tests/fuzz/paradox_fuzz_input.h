#pragma once
// How one fuzz input carries a table and its .MB file: the table's bytes, then
// kMemoFileMark and the .MB file's bytes. An input without the mark stands
// for a table whose .MB file is missing, as every plain table seed does.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kelvane::fuzz {

inline constexpr std::string_view kMemoFileMark = "\n--- .MB file ---\n";

struct FuzzInput {
  std::span<const std::uint8_t> table;
  std::optional<std::span<const std::uint8_t>> memoFile;
};

inline FuzzInput SplitFuzzInput(std::span<const std::uint8_t> input) {
  const auto mark = std::search(input.begin(), input.end(), kMemoFileMark.begin(), kMemoFileMark.end(),
                                [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
  if (mark == input.end()) return {input, std::nullopt};
  const auto at = static_cast<std::size_t>(mark - input.begin());
  return {input.first(at), input.subspan(at + kMemoFileMark.size())};
}

}  // namespace kelvane::fuzz
