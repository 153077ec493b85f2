#include "editor/document_problems.h"

#include <QString>
#include <stdexcept>

#include "editor/note_names.h"
#include "session/code_pages.h"

namespace kelvane {
namespace {

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

void CheckRanges(const SessionDocument& d, std::vector<Problem>& out) {
  for (const ColumnRange& r : IntegerColumnRanges()) {
    const std::int32_t v = ValueOf(d, r.column);
    if (v < r.lowest || v > r.highest)
      out.push_back({r.column, std::string(r.column) + " is " + std::to_string(v) + "; it must be " +
                                   std::to_string(r.lowest) + " to " + std::to_string(r.highest)});
  }
  if (d.areaX1 >= d.areaX2)
    out.push_back({"AreaX", "AreaX1 (" + std::to_string(d.areaX1) + ") must be left of AreaX2 (" +
                                std::to_string(d.areaX2) + ")"});
  if (d.areaY1 >= d.areaY2)
    out.push_back({"AreaY", "AreaY1 (" + std::to_string(d.areaY1) + ") must be above AreaY2 (" +
                                std::to_string(d.areaY2) + ")"});
}

void CheckText(const std::string& column, const std::string& text, int longest, std::vector<Problem>& out) {
  const QString unicode = QString::fromStdString(text);
  if (!EncodeCp1252(unicode.toStdU16String()))
    out.push_back({column, column + " has a character that an Ambrel file cannot hold (code page 1252)"});
  else if (unicode.size() > longest)
    out.push_back({column, column + " is longer than " + std::to_string(longest) + " characters"});
}

void CheckRows(const SessionDocument& d, std::vector<Problem>& out) {
  const int count = static_cast<int>(d.rows.size());
  if (count < 1 || count > kEditorMaxRows)
    out.push_back({"NumSelItems", "A session needs 1 to 30 note rows; this one has " + std::to_string(count)});
  for (int i = 0; i < count && i < kEditorMaxRows; ++i) {
    const std::string item = "Item" + std::to_string(i + 1);
    const NoteRow& row = d.rows[static_cast<std::size_t>(i)];
    CheckText(item, row.label, kRowLabelLength, out);
    for (int j = 0; j < kEditorNotesPerRow; ++j) {
      const std::int32_t code = row.codes[static_cast<std::size_t>(j)];
      if (!IsEditorNoteCode(code))
        out.push_back({item, "Row " + std::to_string(i + 1) + ", note " + std::to_string(j + 1) + ": " +
                                 std::to_string(code) + " is not a note code (0 to 13)"});
    }
  }
}

}  // namespace

const std::vector<ColumnRange>& IntegerColumnRanges() {
  // PulseFreq stops at 2879: the pulse swings the divisor by PulseFreq / 16
  // around 180, and at 2880 it would reach 0.
  static const std::vector<ColumnRange> ranges = {
      {"InstrumentNumber", 0, 127}, {"ColorR", 0, 255},        {"ColorG", 0, 255},
      {"ColorB", 0, 255},           {"PulseFreq", 0, 2879},    {"PulsePhase", 0, 1},
      {"GeoVertical", 1, 360},      {"GeoHorizontal", 1, 360}, {"Density", 1, 16},
      {"Form", 1, 2},               {"Cycles", 1, 9999},       {"AreaX1", 0, kMaxAreaX},
      {"AreaY1", 0, kMaxAreaY},     {"AreaX2", 0, kMaxAreaX},  {"AreaY2", 0, kMaxAreaY}};
  return ranges;
}

const ColumnRange& RangeOf(const std::string& column) {
  for (const ColumnRange& r : IntegerColumnRanges())
    if (column == r.column) return r;
  throw std::logic_error("no range for column " + column);
}

std::vector<Problem> FindProblems(const SessionDocument& d) {
  std::vector<Problem> out;
  if (d.fileType != "Ambr")
    out.push_back({"FileType", "FileType is '" + d.fileType + "'; Kelvane plays only files whose FileType is 'Ambr'"});
  CheckText("SessionName", d.sessionName, kMaxTextLength, out);
  CheckText("Comment", d.comment, kMaxTextLength, out);
  CheckText("InstrumentSel", d.instrumentName, kMaxTextLength, out);
  CheckText("Image1", d.image, kMaxTextLength, out);
  CheckRanges(d, out);
  CheckRows(d, out);
  return out;
}

bool ConcernsField(const Problem& problem, const std::string& column) {
  if (problem.field == column) return true;
  // "AreaX" concerns AreaX1 and AreaX2.
  return column.size() == problem.field.size() + 1 && column.rfind(problem.field, 0) == 0 &&
         problem.field.rfind("Area", 0) == 0;
}

}  // namespace kelvane
