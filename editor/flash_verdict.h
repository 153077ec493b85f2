#pragma once
// The one flash check the editor judges a session by: the verdict panel, the
// warning before saving and the measured advice all take it from VerdictOf,
// so they never disagree, and a better check replaces it in one place.

#include <atomic>
#include <string>

#include "editor/session_document.h"
#include "render/flash_report.h"

namespace kelvane {

struct FlashVerdict {
  bool checked = false;  // false: the session could not be played, and error says why
  std::string error;
  bool passes = false;
  // The largest share of the field that flashes too often in the worst
  // second, by either rule: what a change has to bring down.
  double share = 0;
  // One line for a person: "FAIL (first 5 s): worst second at 0:03.0: 19
  // flashes over 33% of the field", or why there is no verdict.
  std::string text;
  FlashReport report;  // both rules, the seconds, the field, the worst way
  friend bool operator==(const FlashVerdict&, const FlashVerdict&) = default;
};

// Plays the session as Kelvane would, without writing anything, and judges
// what it shows. Runs on any thread; stops soon, unchecked, once `cancel`
// becomes true.
FlashVerdict VerdictOf(const SessionDocument& document, const std::atomic<bool>* cancel = nullptr);

// What VerdictOf measures, in a line for the window.
std::string VerdictScope();

// Lines for the window: each rule's worst second, the way of showing the
// session that gave it, and the field the shares are of.
std::string VerdictDetail(const FlashVerdict& verdict);

}  // namespace kelvane
