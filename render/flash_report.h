#pragma once
// What a flash check found, and its forms: a few lines for a person to read,
// one JSON object for programs, and one CSV row a second. Standard library only.

#include <string>
#include <vector>

namespace kelvane {

inline constexpr double kMostFlashingShare = 0.25;

// One rule (general flash or red flash) in one window of a second.
struct FlashMeasure {
  int flashes = 0;   // of the unit that flashes most in the worst field (in any, while none flashes too often)
  double share = 0;  // of the field covered by pixels flashing more than 3 times
  bool Fails(double mostShare = kMostFlashingShare) const { return share > mostShare; }
  friend bool operator==(const FlashMeasure&, const FlashMeasure&) = default;
};

// The worst windows that start in one second of the run.
struct FlashSecond {
  double start = 0;  // seconds from the first frame
  FlashMeasure light;
  FlashMeasure red;
  bool Fails(double mostShare = kMostFlashingShare) const { return light.Fails(mostShare) || red.Fails(mostShare); }
  friend bool operator==(const FlashSecond&, const FlashSecond&) = default;
};

// One rule's verdict over a whole run.
struct FlashRuleResult {
  bool fails = false;
  double worstSecond = 0;  // start of the worst one-second window, in seconds from the first frame
  int flashes = 0;
  double share = 0;
  friend bool operator==(const FlashRuleResult&, const FlashRuleResult&) = default;
};

struct FlashReport {
  FlashRuleResult light;
  FlashRuleResult red;
  int frames = 0;
  double fps = 60;
  // The field the shares are of, for the thresholds the text states.
  int fieldWidth = 341;
  int fieldHeight = 256;
  std::vector<FlashSecond> seconds;
  // How the pictures were shown where the worst second was found (tick
  // rate, pulse), when the check tried more than one way; else empty.
  std::string worstCase;
  // The largest share that passes: a quarter of the field, less a margin
  // where the pictures stand for more ways of showing them than were played.
  double mostShare = kMostFlashingShare;

  bool Passes() const;
  int FailingSeconds() const;
  friend bool operator==(const FlashReport&, const FlashReport&) = default;
};

// The failing seconds as ranges of times: "0:12-0:18, 0:31".
std::string FailingTimes(const FlashReport& report);

std::string FlashReportText(const FlashReport& report, const std::string& name);
std::string FlashReportJson(const FlashReport& report, const std::string& name);
// A header line and one line a second: time, general flashes and share,
// red flashes and share, verdict.
std::string FlashReportCsv(const FlashReport& report);

}  // namespace kelvane
