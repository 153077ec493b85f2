#include "tools/ambrel_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvane {
namespace {

double Number(const std::string& option, const std::string& text, double lowest, double highest) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < lowest ||
      value > highest)
    throw UsageError(option + " takes a number from " + std::to_string(static_cast<long long>(lowest)) + " to " +
                     std::to_string(static_cast<long long>(highest)) + ", not '" + text + "'");
  return value;
}

int Whole(const std::string& option, const std::string& text, int lowest, int highest) {
  const double value = Number(option, text, lowest, highest);
  if (value != std::floor(value)) throw UsageError(option + " takes a whole number, not '" + text + "'");
  return static_cast<int>(value);
}

void Field(const std::string& text, AmbrelOptions& out) {
  const auto x = text.find('x');
  if (x == std::string::npos) throw UsageError("--field takes WIDTHxHEIGHT in pixels, such as 341x256");
  out.fieldWidth = Whole("--field", text.substr(0, x), 1, 100000);
  out.fieldHeight = Whole("--field", text.substr(x + 1), 1, 100000);
}

}  // namespace

AmbrelOptions ParseAmbrelOptions(const std::vector<std::string>& words, const std::vector<std::string>& allowed) {
  AmbrelOptions out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& option = words[i];
    if (std::find(allowed.begin(), allowed.end(), option) == allowed.end())
      throw UsageError("unknown option '" + option + "'");
    if (option == "--json") {
      out.json = true;
      continue;
    }
    if (i + 1 >= words.size()) throw UsageError(option + " needs a value");
    const std::string& value = words[++i];
    if (option == "--seconds") out.render.seconds = Number(option, value, 0, 1e7);
    else if (option == "--cycles") out.render.cycles = Whole(option, value, 1, 2147483647);
    else if (option == "--tick-rate") out.render.tickRate = Number(option, value, 1, 44100);
    else if (option == "--fps") out.render.fps = Whole(option, value, 1, 240);
    else if (option == "--field") Field(value, out);
  }
  return out;
}

}  // namespace kelvane
