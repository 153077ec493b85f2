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

std::string RuleLine(const char* name, const FlashRuleResult& r) {
  return std::string(name) + (r.fails ? "FAIL" : "pass") + ", worst second at " + Clock(r.worstSecond) + ": " +
         std::to_string(r.flashes) + " flashes over " + Fixed(r.share * 100, 1) + "% of the field\n";
}

std::string JsonRule(const FlashRuleResult& r) {
  return std::string("{\"fails\":") + (r.fails ? "true" : "false") + ",\"worstSecond\":" + Number(r.worstSecond) +
         ",\"flashes\":" + std::to_string(r.flashes) + ",\"share\":" + Number(r.share) + "}";
}

double Seconds(const FlashReport& r) { return r.fps > 0 ? double(r.frames) / r.fps : 0; }

}  // namespace

bool FlashReport::Passes() const { return !light.fails && !red.fails; }

std::string FlashReportText(const FlashReport& report, const std::string& sessionName) {
  return std::string(report.Passes() ? "PASS" : "FAIL") + ": flash check of \"" + sessionName + "\"\n" +
         RuleLine("  General flash: ", report.light) + RuleLine("  Red flash:     ", report.red) +
         "  Fails at more than 3 flashes a second over more than 25% of a " + std::to_string(report.fieldWidth) +
         " x " + std::to_string(report.fieldHeight) + " field.\n  " + std::to_string(report.frames) +
         " frames at " + std::to_string(report.fps) + " fps (" + Clock(Seconds(report)) + ").\n";
}

std::string FlashReportJson(const FlashReport& report, const std::string& sessionName) {
  return "{\"session\":" + JsonString(sessionName) + ",\"passes\":" + (report.Passes() ? "true" : "false") +
         ",\"frames\":" + std::to_string(report.frames) + ",\"fps\":" + std::to_string(report.fps) +
         ",\"seconds\":" + Number(Seconds(report)) + ",\"fieldWidth\":" + std::to_string(report.fieldWidth) +
         ",\"fieldHeight\":" + std::to_string(report.fieldHeight) + ",\"light\":" + JsonRule(report.light) +
         ",\"red\":" + JsonRule(report.red) + "}";
}

}  // namespace kelvane
