#include "editor/document_json.h"

#include <QByteArray>
#include <algorithm>

#include "editor/cell_table.h"
#include "session/json_string.h"

namespace kelvane {
namespace {

// A row as "Rows" gives it: its codes, with its label when it is not the
// one `ambrel create` would give it.
std::string RowJson(const NoteRow& row, int rowNumber) {
  std::string codes = "[";
  for (std::size_t j = 0; j < row.codes.size(); ++j) {
    const std::int32_t code = row.codes[j];
    if (code < -9 || code > 99)
      throw DocumentError("Row " + std::to_string(rowNumber) + " has the note code " + std::to_string(code) +
                          ", which does not fit the two characters of a note");
    codes += (j ? ", " : "") + std::to_string(code);
  }
  codes += "]";
  if (row.label == DefaultRowLabel(rowNumber)) return codes;
  return "{\"Label\": " + JsonString(row.label) + ", \"Notes\": " + codes + "}";
}

std::string RowsJson(const std::vector<NoteRow>& rows) {
  std::string out = "  \"Rows\": [";
  for (std::size_t i = 0; i < rows.size(); ++i)
    out += (i == 0 ? "\n    " : ",\n    ") + RowJson(rows[i], static_cast<int>(i + 1));
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
  lines.push_back(RowsJson(d.rows));
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
    throw DocumentError(error.what());
  }
  CellTable cells(std::move(table));
  try {
    // ambrel create writes its texts in code page 1252.
    return ReadDocument(cells, 1252);
  } catch (const std::exception& error) {
    throw DocumentError(error.what());
  }
}

}  // namespace kelvane
