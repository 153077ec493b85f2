#pragma once
// What would keep Kelvane from playing a session as its author meant: values
// out of their range, texts a table cannot hold. Marked, never corrected.

#include <string>
#include <vector>

#include "editor/session_document.h"

namespace kelvane {

struct Problem {
  // The column ("ColorR", "Item3"); "AreaX" and "AreaY" for corners in the
  // wrong order, which concern both columns of the pair.
  std::string field;
  std::string message;
  friend bool operator==(const Problem&, const Problem&) = default;
};

// The largest area corner: an 8K screen.
inline constexpr int kMaxAreaX = 7680;
inline constexpr int kMaxAreaY = 4320;
// Paradox alpha columns hold at most this many bytes.
inline constexpr int kMaxTextLength = 255;

std::vector<Problem> FindProblems(const SessionDocument& document);

// True when a problem names this column, directly or as one of a pair.
bool ConcernsField(const Problem& problem, const std::string& column);

// The valid range of an integer column, for the controls' hints.
struct ColumnRange {
  const char* column;
  int lowest;
  int highest;
};
const std::vector<ColumnRange>& IntegerColumnRanges();
const ColumnRange& RangeOf(const std::string& column);

}  // namespace kelvane
