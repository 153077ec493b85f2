#pragma once
// What would keep Kelvane from playing a session as its author meant, or
// keep the file from holding it: values out of their range, an area that
// Kelvane's window would partly hide, texts a table cannot hold. Marked,
// never corrected; nothing Kelvane plays as it is written is a problem.

#include <optional>
#include <string>
#include <vector>

#include "editor/session_document.h"
#include "toolkit/geometry.h"

namespace kelvane {

struct Problem {
  // What it concerns, for the window to mark: the column ("ColorR",
  // "AreaX2"), "Item3" for row 3's notes, "Item3:label" for its label.
  std::string field;
  // Names the value as the window labels it ("Frame red", "Row 3").
  std::string message;
  // The file cannot hold it: the session cannot be saved until it changes.
  bool blocksSaving = false;
  friend bool operator==(const Problem&, const Problem&) = default;
};

// Paradox alpha columns hold at most this many bytes.
inline constexpr int kMaxTextLength = 255;

// Every problem of the document; the area is judged against where Kelvane
// draws when that is known.
std::vector<Problem> FindProblems(const SessionDocument& document,
                                  const std::optional<DrawingArea>& drawingArea = std::nullopt);

// True for the problems of a note row, which the list shows after the values.
bool IsRowProblem(const Problem& problem);
// The value problems first, then the rows', each in the order given.
void OrderProblems(std::vector<Problem>& problems);

// The row (from 0) a row problem concerns, and whether it is the label's.
struct RowField {
  int row;
  bool label;
};
std::optional<RowField> RowFieldOf(const std::string& field);
std::string RowFieldName(int row, bool label);

// The characters of a UTF-8 text that code page 1252 has no byte for, each
// once, named for a person: "“Ω” (U+03A9) and “✓” (U+2713)". Empty when
// the text can be kept.
std::string CharactersNotHeld(const std::string& utf8);

// The range the number boxes step in. Kelvane plays some columns as written
// whatever their value (Form 9 shrinks slowly, Phase 7 moves inwards): a
// value outside their range is no problem.
struct ColumnRange {
  const char* column;
  int lowest;
  int highest;
  bool playedOutside;
};
const std::vector<ColumnRange>& IntegerColumnRanges();
const ColumnRange& RangeOf(const std::string& column);

}  // namespace kelvane
