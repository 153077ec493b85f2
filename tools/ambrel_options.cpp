#include "tools/ambrel_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

namespace kelvane {
namespace {

struct CommandShape {
  std::size_t files;
  std::vector<std::string> options;
};

const std::map<std::string, CommandShape>& Commands() {
  static const std::map<std::string, CommandShape> commands = {
      {"create", {2, {}}},
      {"show", {1, {}}},
      {"check",
       {1, {"--seconds", "--tick-rate", "--pulse", "--fps", "--field", "--window", "--json", "--csv", "--plot"}}},
      {"render", {2, {"--cycles", "--seconds", "--tick-rate", "--pulse", "--fps"}}},
  };
  return commands;
}

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

std::pair<int, int> Size(const std::string& option, const std::string& text) {
  const auto x = text.find('x');
  if (x == std::string::npos) throw UsageError(option + " takes WIDTHxHEIGHT in pixels, such as 341x256");
  return {Whole(option, text.substr(0, x), 1, 100000), Whole(option, text.substr(x + 1), 1, 100000)};
}

// COUNTER,up or COUNTER,down, and the milliseconds to its next tick: 150,up,20
PulseStart Pulse(const std::string& text) {
  const std::string usage =
      "--pulse takes the pulse's counter, up or down, and the milliseconds to its next tick "
      "(1 to 50, 50 if left out), such as 150,up or 150,down,20";
  const auto first = text.find(','), second = text.find(',', first == std::string::npos ? first : first + 1);
  if (first == std::string::npos) throw UsageError(usage);
  const std::string direction =
      text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
  if (direction != "up" && direction != "down") throw UsageError(usage);
  PulseStart pulse;
  pulse.counter = Whole("--pulse", text.substr(0, first), -2147483647, 2147483647);
  pulse.divisor = pulse.counter;
  pulse.rising = direction == "up";
  if (second != std::string::npos) pulse.firstTick = Number("--pulse", text.substr(second + 1), 1, 50) / 1000;
  return pulse;
}

void Apply(AmbrelCommand& c, const std::string& option, const std::string& value) {
  if (option == "--seconds") {
    c.render.seconds = Number(option, value, 0, 1e7);
  } else if (option == "--cycles") {
    c.render.cycles = Whole(option, value, 1, 2147483647);
  } else if (option == "--tick-rate") {
    c.render.tickRate = Number(option, value, 1, 44100);
    c.check.tickRate = c.render.tickRate;
  } else if (option == "--pulse") {
    c.render.pulse = Pulse(value);
    c.check.pulse = c.render.pulse;
  } else if (option == "--fps") {
    c.render.fps = c.check.fps = Whole(option, value, 1, 240);
  } else if (option == "--field") {
    std::tie(c.check.fieldWidth, c.check.fieldHeight) = Size(option, value);
    c.fieldGiven = true;
  } else if (option == "--window") {
    std::tie(c.check.window.width, c.check.window.height) = Size(option, value);
  } else if (option == "--csv") {
    c.csv = value;
  } else if (option == "--plot") {
    c.plot = value;
  }
}

}  // namespace

AmbrelCommand ParseAmbrelCommand(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError("");
  AmbrelCommand c;
  c.name = args[0];
  const auto shape = Commands().find(c.name);
  if (shape == Commands().end()) throw UsageError("unknown command '" + c.name + "'");
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word.rfind("--", 0) != 0) {
      c.files.push_back(word);
      continue;
    }
    const auto& allowed = shape->second.options;
    if (std::find(allowed.begin(), allowed.end(), word) == allowed.end())
      throw UsageError(c.name + " takes no option '" + word + "'");
    if (word == "--json") {
      c.json = true;
      continue;
    }
    if (i + 1 >= args.size()) throw UsageError(word + " needs a value");
    Apply(c, word, args[++i]);
  }
  if (c.files.size() != shape->second.files)
    throw UsageError(c.name + " takes " + std::to_string(shape->second.files) +
                     (shape->second.files == 1 ? " file" : " files") + ", not " + std::to_string(c.files.size()));
  // Pictures of nothing, or sound of nothing: refused before anything is written.
  if (c.render.seconds && *c.render.seconds * c.render.fps < 1)
    throw UsageError("--seconds " + std::to_string(*c.render.seconds) + " is shorter than one picture");
  return c;
}

}  // namespace kelvane
