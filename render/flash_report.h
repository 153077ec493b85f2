#pragma once
// What a flash check found, and its two forms: a few lines for a person to
// read and one JSON object for programs. Standard library only.

#include <string>

namespace kelvane {

// One rule's verdict (general flash or red flash) over a whole session.
struct FlashRuleResult {
  bool fails = false;
  double worstSecond = 0;  // start of the worst one-second window, in seconds from the first frame
  int flashes = 0;         // flashes in that window of the cell that flashes most in the worst field
  double share = 0;        // largest share of one field covered by cells flashing more than 3 times in that window
};

struct FlashReport {
  FlashRuleResult light;
  FlashRuleResult red;
  int frames = 0;
  int fps = 60;
  // The field the shares are of, for the thresholds the text states.
  int fieldWidth = 341;
  int fieldHeight = 256;

  bool Passes() const;
};

std::string FlashReportText(const FlashReport& report, const std::string& sessionName);
std::string FlashReportJson(const FlashReport& report, const std::string& sessionName);

}  // namespace kelvane
