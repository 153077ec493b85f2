#include "editor/document_json.h"

#include <QByteArray>
#include <algorithm>

#include "editor/cell_table.h"
#include "session/json_string.h"

namespace kelvane {
namespace {

// Code points, not bytes: labels are counted in characters.
int CharacterCount(const std::string& utf8) {
  return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Pair(std::int32_t code) {
  if (code < -9 || code > 99)
    throw DocumentError("The note code " + std::to_string(code) + " does not fit the two characters of a note");
  const std::string digits = std::to_string(code);
  return digits.size() == 1 ? "0" + digits : digits;
}

// The item text of a row: the label padded to 20 characters, then two
// characters per code.
std::string ItemText(const NoteRow& row, int rowNumber) {
  if (CharacterCount(row.label) > kRowLabelLength)
    throw DocumentError("The label of row " + std::to_string(rowNumber) + " is longer than 20 characters");
  std::string text = row.label + std::string(static_cast<std::size_t>(kRowLabelLength - CharacterCount(row.label)), ' ');
  for (std::int32_t code : row.codes) text += Pair(code);
  return text;
}

bool FitsRows(const NoteRow& row) {
  return std::all_of(row.codes.begin(), row.codes.end(), [](std::int32_t c) { return c >= 0 && c <= 99; });
}

std::string RowsJson(const std::vector<NoteRow>& rows) {
  std::string out = "  \"Rows\": [";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out += i == 0 ? "\n    [" : ",\n    [";
    for (std::size_t j = 0; j < rows[i].codes.size(); ++j) out += (j ? ", " : "") + std::to_string(rows[i].codes[j]);
    out += "]";
  }
  return out + (rows.empty() ? "]" : "\n  ]");
}

}  // namespace

std::string DocumentToJson(const SessionDocument& d) {
  const std::pair<const char*, std::string> texts[] = {{"SessionName", d.sessionName}, {"FileType", d.fileType},
                                                       {"Comment", d.comment},         {"Image1", d.image},
                                                       {"InstrumentSel", d.instrumentName}};
  const std::pair<const char*, std::int32_t> numbers[] = {
      {"InstrumentNumber", d.instrumentNumber}, {"ColorR", d.colorR},         {"ColorG", d.colorG},
      {"ColorB", d.colorB},                     {"PulseFreq", d.pulseFreq},   {"PulsePhase", d.pulsePhase},
      {"GeoVertical", d.geoVertical},           {"GeoHorizontal", d.geoHorizontal},
      {"Density", d.density},                   {"Form", d.form},             {"Cycles", d.cycles},
      {"AreaX1", d.areaX1},                     {"AreaY1", d.areaY1},         {"AreaX2", d.areaX2},
      {"AreaY2", d.areaY2},                     {"NumSelItems", static_cast<std::int32_t>(d.rows.size())}};
  std::vector<std::string> lines;
  for (const auto& [key, value] : texts) lines.push_back("  \"" + std::string(key) + "\": " + JsonString(value));
  for (const auto& [key, value] : numbers) lines.push_back("  \"" + std::string(key) + "\": " + std::to_string(value));
  const bool rowsFit = std::all_of(d.rows.begin(), d.rows.end(), FitsRows);
  if (rowsFit) lines.push_back(RowsJson(d.rows));
  for (std::size_t i = 0; i < d.rows.size(); ++i) {
    const int n = static_cast<int>(i + 1);
    const std::string text = ItemText(d.rows[i], n);
    if (!rowsFit || text != AmbrelItemText(n, {d.rows[i].codes.begin(), d.rows[i].codes.end()}))
      lines.push_back("  \"Item" + std::to_string(n) + "\": " + JsonString(text));
  }
  std::string out = "{\n";
  for (std::size_t i = 0; i < lines.size(); ++i) out += lines[i] + (i + 1 < lines.size() ? ",\n" : "\n");
  return out + "}\n";
}

AmbrelTable AmbrelTableOf(const SessionDocument& document) {
  try {
    return AmbrelFromJson(QByteArray::fromStdString(DocumentToJson(document)));
  } catch (const AmbrelJsonError& error) {
    throw DocumentError(error.what());
  }
}

LoadedDocument DocumentFromJson(const std::string& json) {
  AmbrelTable table;
  try {
    table = AmbrelFromJson(QByteArray::fromStdString(json));
  } catch (const AmbrelJsonError& error) {
    throw DocumentError(std::string("The session description cannot be read: ") + error.what());
  }
  CellTable cells(std::move(table));
  try {
    // ambrel create writes its texts in code page 1252.
    return ReadDocument(cells, 1252);
  } catch (const std::exception& error) {
    throw DocumentError(std::string("The session description cannot be read: ") + error.what());
  }
}

}  // namespace kelvane
