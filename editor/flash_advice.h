#pragma once
// Advice for a session that fails the flash check, measured rather than
// guessed: the changes a person would consider are each made and checked
// with the editor's one check, and only what was measured to pass, or to
// flash less, is offered.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/flash_verdict.h"
#include "editor/session_document.h"
#include "toolkit/geometry.h"

namespace kelvane {

struct Suggestion {
  std::string change;        // for a person: "Density 1 (a finer pen)"
  SessionDocument document;  // the session with the change made
  FlashVerdict verdict;      // as measured
};

using VerdictFunction = std::function<FlashVerdict(const SessionDocument&)>;

// Tries, one at a time and mildest first: a smaller area about the same
// centre (moved where Kelvane's window shows it, when that is known), a finer pen, the other Form, and code 0 for code 1 or the other
// way round (the same note in another colour); when no one change passes,
// each two of the best of them together. Returns the changes that pass, the
// mildest of each kind, least flashing first; when none passes, the three
// that bring the share down most. A change that was not measured, or that
// does not flash less than now, is never offered. `tried` hears of each
// check as it ends; a set `cancel` ends the trials with what is known.
std::vector<Suggestion> Advise(const SessionDocument& document, const FlashVerdict& now,
                               const VerdictFunction& verdictOf, const std::optional<DrawingArea>& window = {},
                               const std::function<void(int tried)>& tried = {},
                               const std::atomic<bool>* cancel = nullptr);

}  // namespace kelvane
