#pragma once
// The toolkit's text operations: integer conversions, file names, substrings.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvane {

// Raised by StrToInt, with the toolkit's wording.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decimal text to a 32-bit integer. Leading blanks and a sign are allowed;
// anything else, an empty text or a value out of range raises ConversionError.
inline std::int32_t StrToInt(std::string_view text) {
  std::string_view rest = text;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  std::int64_t value = 0;
  bool ok = !rest.empty() && rest.size() <= 10;
  for (char c : rest) {
    // Stop before a long text overflows the 64-bit accumulator.
    if (!ok || c < '0' || c > '9') { ok = false; break; }
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (!ok || value < INT32_MIN || value > INT32_MAX)
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<std::int32_t>(value);
}

inline std::string IntToStr(std::int64_t value) { return std::to_string(value); }

// The file name without its directory: the text after the last '/', '\' or ':'.
inline std::string ExtractFileName(std::string_view path) {
  const auto cut = path.find_last_of("/\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

// At most count characters from character position (counted from 1); empty
// when the text ends before it.
inline std::string Copy(std::string_view text, std::size_t position, std::size_t count) {
  if (position < 1 || position > text.size()) return {};
  return std::string(text.substr(position - 1, count));
}

}  // namespace kelvane
