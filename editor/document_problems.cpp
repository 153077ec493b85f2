#include "editor/document_problems.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "editor/field_labels.h"
#include "editor/note_names.h"
#include "session/code_pages.h"

namespace kelvane {
namespace {

constexpr int kLargestCorner = std::numeric_limits<int>::max();

std::int32_t ValueOf(const SessionDocument& d, const std::string& column) {
  const std::pair<const char*, std::int32_t> values[] = {
      {"InstrumentNumber", d.instrumentNumber}, {"ColorR", d.colorR},       {"ColorG", d.colorG},
      {"ColorB", d.colorB},                     {"PulseFreq", d.pulseFreq}, {"PulsePhase", d.pulsePhase},
      {"GeoVertical", d.geoVertical},           {"GeoHorizontal", d.geoHorizontal},
      {"Density", d.density},                   {"Form", d.form},           {"Cycles", d.cycles},
      {"AreaX1", d.areaX1},                     {"AreaY1", d.areaY1},       {"AreaX2", d.areaX2},
      {"AreaY2", d.areaY2}};
  for (const auto& [name, value] : values)
    if (column == name) return value;
  throw std::logic_error("no integer column " + column);
}

// "4", "4 and 7", "4, 7 and 9".
std::string ListOf(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i)
    out += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
  return out;
}

void CheckRanges(const SessionDocument& d, std::vector<Problem>& out) {
  for (const ColumnRange& r : IntegerColumnRanges()) {
    const std::int32_t v = ValueOf(d, r.column);
    if (!r.playedOutside && (v < r.lowest || v > r.highest))
      out.push_back({r.column, FieldLabel(r.column) + " is " + std::to_string(v) + "; it must be " +
                                   std::to_string(r.lowest) + " to " + std::to_string(r.highest)});
  }
}

// Kelvane draws the area whichever way round its corners are given; one with
// no width or height shows nothing.
void CheckArea(const SessionDocument& d, const std::optional<DrawingArea>& where, std::vector<Problem>& out) {
  if (d.areaX1 == d.areaX2)
    out.push_back({"AreaX2", "The stimulus area has no width: Left (X1) and Right (X2) are both " +
                                 std::to_string(d.areaX1)});
  if (d.areaY1 == d.areaY2)
    out.push_back({"AreaY2", "The stimulus area has no height: Top (Y1) and Bottom (Y2) are both " +
                                 std::to_string(d.areaY1)});
  if (!where || d.areaX1 == d.areaX2 || d.areaY1 == d.areaY2) return;
  const Rect a = Normalized({d.areaX1, d.areaY1, d.areaX2, d.areaY2});
  const Rect& shown = where->shown;
  const auto pixels = [](std::int64_t n) { return std::to_string(n) + (n == 1 ? " pixel lies" : " pixels lie"); };
  // The columns that hold the edges, whichever way round they were given.
  const char* left = d.areaX1 <= d.areaX2 ? "AreaX1" : "AreaX2";
  const char* right = d.areaX1 <= d.areaX2 ? "AreaX2" : "AreaX1";
  const char* top = d.areaY1 <= d.areaY2 ? "AreaY1" : "AreaY2";
  const char* bottom = d.areaY1 <= d.areaY2 ? "AreaY2" : "AreaY1";
  if (a.right > shown.right) {
    std::string text = a.left >= shown.right ? "The whole stimulus area lies" : "The stimulus area's right " +
                         pixels(std::int64_t{a.right} - std::max(a.left, shown.right));
    text += " under Kelvane's comment panel, which begins at x " + std::to_string(shown.right) + " on this screen";
    if (a.right > where->width) text += ", or past the window's edge at " + std::to_string(where->width);
    out.push_back({right, text});
  }
  if (a.bottom > shown.bottom)
    out.push_back({bottom, "The stimulus area's bottom " + pixels(std::int64_t{a.bottom} - std::max(a.top, shown.bottom)) +
                               " below Kelvane's window, which shows y up to " + std::to_string(shown.bottom) +
                               " on this screen"});
  if (a.left < shown.left)
    out.push_back({left, "The stimulus area's left " + pixels(std::int64_t{shown.left} - a.left) +
                             " left of Kelvane's window"});
  if (a.top < shown.top)
    out.push_back({top, "The stimulus area's top " + pixels(std::int64_t{shown.top} - a.top) +
                            (shown.top > 0 ? " under the line below Kelvane's menu bar, which ends at y "
                                             : " above Kelvane's window, which begins at y ") +
                            std::to_string(shown.top)});
}

void CheckText(const std::string& field, const std::string& label, const std::string& text, int longest,
               std::vector<Problem>& out) {
  const std::string notHeld = CharactersNotHeld(text);
  if (!notHeld.empty()) {
    out.push_back({field, label + " has " + notHeld + ", which an Ambrel file cannot hold (it keeps code page 1252)", true});
    return;
  }
  const qsizetype length = QString::fromStdString(text).size();
  if (length > longest)
    out.push_back({field, label + " is " + std::to_string(length) + " characters long; an Ambrel file holds " +
                              std::to_string(longest), true});
}

void CheckNotes(const NoteRow& row, int number, std::vector<Problem>& out) {
  std::vector<std::string> codes, notes;
  bool unwritable = false;
  for (int j = 0; j < kEditorNotesPerRow; ++j) {
    const std::int32_t code = row.codes[static_cast<std::size_t>(j)];
    if (IsEditorNoteCode(code)) continue;
    codes.push_back(std::to_string(code));
    notes.push_back(std::to_string(j + 1));
    unwritable = unwritable || code < -9 || code > 99;
  }
  if (codes.empty()) return;
  const bool one = codes.size() == 1;
  out.push_back({RowFieldName(number - 1, false),
                 "Row " + std::to_string(number) + ": " + ListOf(codes) + " (note" + (one ? " " : "s ") +
                     ListOf(notes) + (one ? ") is not a note code" : ") are not note codes") + " (0 to 13)",
                 unwritable});
}

void CheckRows(const SessionDocument& d, std::vector<Problem>& out) {
  const int count = static_cast<int>(d.rows.size());
  if (count < 1 || count > kEditorMaxRows)
    out.push_back({"NumSelItems", "A session needs 1 to 30 note rows; this one has " + std::to_string(count),
                   count > kEditorMaxRows});
  for (int i = 0; i < count && i < kEditorMaxRows; ++i) {
    const NoteRow& row = d.rows[static_cast<std::size_t>(i)];
    CheckText(RowFieldName(i, true), "Row " + std::to_string(i + 1) + "'s label", row.label, kRowLabelLength, out);
    CheckNotes(row, i + 1, out);
  }
}

}  // namespace

const std::vector<ColumnRange>& IntegerColumnRanges() {
  // PulseFreq stops at 2879: the pulse swings the divisor by PulseFreq / 16
  // around 180, and at 2880 it would reach 0. An area corner is judged by
  // what of the area Kelvane's window shows.
  static const std::vector<ColumnRange> ranges = {
      {"InstrumentNumber", 0, 127, false}, {"ColorR", 0, 255, false},    {"ColorG", 0, 255, false},
      {"ColorB", 0, 255, false},           {"PulseFreq", 0, 2879, false}, {"PulsePhase", 0, 1, true},
      {"GeoVertical", 1, 360, true},       {"GeoHorizontal", 1, 360, true}, {"Density", 1, 16, false},
      {"Form", 1, 2, true},                {"Cycles", 1, 9999, false},   {"AreaX1", 0, kLargestCorner, true},
      {"AreaY1", 0, kLargestCorner, true}, {"AreaX2", 0, kLargestCorner, true}, {"AreaY2", 0, kLargestCorner, true}};
  return ranges;
}

const ColumnRange& RangeOf(const std::string& column) {
  for (const ColumnRange& r : IntegerColumnRanges())
    if (column == r.column) return r;
  throw std::logic_error("no range for column " + column);
}

std::vector<Problem> FindProblems(const SessionDocument& d, const std::optional<DrawingArea>& drawingArea) {
  std::vector<Problem> out;
  if (d.fileType != "Ambr")
    out.push_back({"FileType", "The file type is '" + d.fileType + "'; Kelvane plays only files whose type is 'Ambr'"});
  CheckText("SessionName", "Name", d.sessionName, kMaxTextLength, out);
  CheckText("Comment", "Comment", d.comment, kMaxTextLength, out);
  CheckText("InstrumentSel", "The instrument's name", d.instrumentName, kMaxTextLength, out);
  CheckText("Image1", "Image", d.image, kMaxTextLength, out);
  CheckRanges(d, out);
  CheckArea(d, drawingArea, out);
  CheckRows(d, out);
  return out;
}

bool IsRowProblem(const Problem& problem) { return RowFieldOf(problem.field).has_value(); }

void OrderProblems(std::vector<Problem>& problems) {
  std::stable_partition(problems.begin(), problems.end(), [](const Problem& p) { return !IsRowProblem(p); });
}

std::string RowFieldName(int row, bool label) { return "Item" + std::to_string(row + 1) + (label ? ":label" : ""); }

std::optional<RowField> RowFieldOf(const std::string& field) {
  if (field.rfind("Item", 0) != 0) return std::nullopt;
  std::size_t end = 4;
  while (end < field.size() && field[end] >= '0' && field[end] <= '9') ++end;
  if (end == 4 || end - 4 > 3) return std::nullopt;
  const std::string rest = field.substr(end);
  if (!rest.empty() && rest != ":label") return std::nullopt;
  return RowField{std::stoi(field.substr(4, end - 4)) - 1, !rest.empty()};
}

std::string CharactersNotHeld(const std::string& utf8) {
  const QString text = QString::fromStdString(utf8);
  std::vector<char32_t> seen;
  std::vector<std::string> named;
  for (const uint code : text.toUcs4()) {
    const auto c = static_cast<char32_t>(code);
    if (std::find(seen.begin(), seen.end(), c) != seen.end()) continue;
    const QString one = QString::fromUcs4(&c, 1);
    if (EncodeCp1252(one.toStdU16String())) continue;
    seen.push_back(c);
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(c));
    named.push_back("\u201C" + one.toStdString() + "\u201D (" + number + ")");
  }
  return ListOf(named);
}

}  // namespace kelvane
