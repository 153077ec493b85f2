#include "render/flash_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "session/json_string.h"

namespace kelvane {
namespace {

// Numbers through to_chars: the program may run under a locale with a decimal comma.
std::string Number(double value) {
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  return std::string(buf, end);
}

std::string Fixed(double value, int decimals) {
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
  return std::string(buf, end);
}

// m:ss.s, rounded to the tenth.
std::string Clock(double seconds) {
  const long long tenths = std::llround(seconds * 10);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld:%02lld.%lld", tenths / 600, tenths % 600 / 10, tenths % 10);
  return buf;
}

// m:ss, for whole seconds.
std::string WholeClock(double seconds) {
  const long long s = std::llround(seconds);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 60, s % 60);
  return buf;
}

std::string RuleLine(const char* name, const FlashRuleResult& r) {
  return std::string(name) + (r.fails ? "FAIL" : "pass") + ", worst second at " + Clock(r.worstSecond) + ": " +
         std::to_string(r.flashes) + " flashes over " + Fixed(r.share * 100, 1) + "% of the field\n";
}

std::string JsonRule(const FlashRuleResult& r) {
  return std::string("{\"fails\":") + (r.fails ? "true" : "false") + ",\"worstSecond\":" + Number(r.worstSecond) +
         ",\"flashes\":" + std::to_string(r.flashes) + ",\"share\":" + Number(r.share) + "}";
}

double Seconds(const FlashReport& r) { return r.fps > 0 ? r.frames / r.fps : 0; }

// [first, last] indices of the runs of failing seconds.
template <typename Visit>
void FailingRuns(const FlashReport& r, Visit visit) {
  for (std::size_t i = 0; i < r.seconds.size(); ++i) {
    if (!r.seconds[i].Fails(r.mostShare)) continue;
    std::size_t j = i;
    while (j + 1 < r.seconds.size() && r.seconds[j + 1].Fails(r.mostShare)) ++j;
    visit(i, j);
    i = j;
  }
}

double SecondLength(const FlashReport& r) {
  return r.seconds.size() > 1 ? r.seconds[1].start - r.seconds[0].start : 1.0;
}

}  // namespace

bool FlashReport::Passes() const { return !light.fails && !red.fails; }

int FlashReport::FailingSeconds() const {
  int n = 0;
  for (const FlashSecond& s : seconds) n += s.Fails(mostShare);
  return n;
}

std::string FailingTimes(const FlashReport& report) {
  std::string out;
  FailingRuns(report, [&](std::size_t first, std::size_t last) {
    if (!out.empty()) out += ", ";
    out += WholeClock(report.seconds[first].start);
    out += "-" + WholeClock(report.seconds[last].start + SecondLength(report));
  });
  return out;
}

std::string FlashReportText(const FlashReport& r, const std::string& name) {
  std::string text = std::string(r.Passes() ? "PASS" : "FAIL") + ": flash check of \"" + name + "\"\n" +
                     RuleLine("  General flash: ", r.light) + RuleLine("  Red flash:     ", r.red);
  if (!r.worstCase.empty()) text += "  Worst case:    " + r.worstCase + "\n";
  const int failing = r.FailingSeconds();
  text += failing == 0 ? "  Failing seconds: none\n"
                       : "  Failing seconds: " + std::to_string(failing) + " of " + std::to_string(r.seconds.size()) +
                             ", " + FailingTimes(r) + "\n";
  const std::string margin = r.mostShare < kMostFlashingShare
                                 ? " (25%, less " + Fixed((kMostFlashingShare - r.mostShare) * 100, 0) +
                                       " points for the tick rates between those played)"
                                 : "";
  return text + "  Fails at more than 3 flashes a second over more than " + Fixed(r.mostShare * 100, 0) + "% of a " +
         std::to_string(r.fieldWidth) + " x " + std::to_string(r.fieldHeight) + " field" + margin + ".\n  " +
         std::to_string(r.frames) + " frames at " + Number(r.fps) + " fps (" + Clock(Seconds(r)) + ").\n";
}

std::string FlashReportJson(const FlashReport& r, const std::string& name) {
  std::string failing;
  FailingRuns(r, [&](std::size_t first, std::size_t last) {
    failing += std::string(failing.empty() ? "" : ",") + "[" + Number(r.seconds[first].start) + "," +
               Number(r.seconds[last].start + SecondLength(r)) + "]";
  });
  return "{\"session\":" + JsonString(name) + ",\"passes\":" + (r.Passes() ? "true" : "false") +
         ",\"frames\":" + std::to_string(r.frames) + ",\"fps\":" + Number(r.fps) +
         ",\"seconds\":" + Number(Seconds(r)) + ",\"fieldWidth\":" + std::to_string(r.fieldWidth) +
         ",\"fieldHeight\":" + std::to_string(r.fieldHeight) + ",\"mostShare\":" + Number(r.mostShare) +
         ",\"light\":" + JsonRule(r.light) + ",\"red\":" + JsonRule(r.red) +
         ",\"worstCase\":" + JsonString(r.worstCase) + ",\"failingSeconds\":" + std::to_string(r.FailingSeconds()) +
         ",\"failing\":[" + failing + "]}";
}

std::string FlashReportCsv(const FlashReport& r) {
  std::string csv = "time,general_flashes,general_share,red_flashes,red_share,verdict\n";
  for (const FlashSecond& s : r.seconds)
    csv += Fixed(s.start, 1) + "," + std::to_string(s.light.flashes) + "," + Fixed(s.light.share, 4) + "," +
           std::to_string(s.red.flashes) + "," + Fixed(s.red.share, 4) + "," +
           (s.Fails(r.mostShare) ? "FAIL" : "pass") + "\n";
  return csv;
}

}  // namespace kelvane
