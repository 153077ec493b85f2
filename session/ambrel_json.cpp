#include "session/ambrel_json.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>

#include "session/code_pages.h"
#include "session/paradox_reader.h"

namespace kelvane {
namespace {

namespace pt = paradox_type;

constexpr int kMaxItems = 30;
constexpr int kCodesPerRow = 13;
constexpr qint64 kMaxJsonSize = 1 << 20;
constexpr int kMaxAlpha = 255;
constexpr int kItemSize = 46;  // 20 leading characters and 13 two-digit codes
constexpr int kLabelLength = 20;
constexpr int kLowestCode = -9;
constexpr int kHighestCode = 99;

// The columns before NumSelItems, in the loader's order, with the loader's
// reset values and the alpha size a text gets at least.
struct ColumnDefault {
  const char* name;
  bool text;
  std::int32_t number;
  const char* words;
  int size;
};
constexpr ColumnDefault kLeadingColumns[] = {
    {"Image1", true, 0, "", 80},          {"InstrumentSel", true, 0, "Acoustic Grand Piano", 40},
    {"InstrumentNumber", false, 0, "", 4}, {"SessionName", true, 0, "", 80},
    {"FileType", true, 0, "Ambr", 10},     {"Comment", true, 0, "", kMaxAlpha},
    {"ColorR", false, 0, "", 4},           {"ColorG", false, 0, "", 4},
    {"ColorB", false, 0, "", 4},           {"PulseFreq", false, 1000, "", 4},
    {"PulsePhase", false, 0, "", 4},       {"GeoVertical", false, 180, "", 4},
    {"GeoHorizontal", false, 180, "", 4},  {"Density", false, 1, "", 4},
    {"Form", false, 1, "", 4},             {"Cycles", false, 0, "", 4},
    {"AreaX1", false, 0, "", 4},           {"AreaY1", false, 0, "", 4},
    {"AreaX2", false, 0, "", 4},           {"AreaY2", false, 0, "", 4},
};

std::string ItemKey(int n) { return "Item" + std::to_string(n); }

// Every error of a description, so all of them are told at once.
using Errors = std::vector<std::string>;

// A text cell; widens size to the text's length.
PxCell TextCell(const QJsonValue& value, const std::string& key, const std::string& fallback, int& size,
                Errors& errors) {
  if (value.isUndefined()) return fallback.empty() ? PxCell{} : PxCell{fallback};
  if (value.isNull()) return PxCell{};
  if (!value.isString()) {
    errors.push_back("'" + key + "' must be a text");
    return PxCell{};
  }
  const auto bytes = EncodeCp1252(value.toString().toStdU16String());
  if (!bytes) {
    errors.push_back("'" + key + "' has a character that code page 1252 cannot hold");
    return PxCell{};
  }
  if (bytes->size() > kMaxAlpha) {
    errors.push_back("'" + key + "' is longer than " + std::to_string(kMaxAlpha) + " characters");
    return PxCell{};
  }
  size = std::max(size, static_cast<int>(bytes->size()));
  return bytes->empty() ? PxCell{} : PxCell{*bytes};
}

bool IsInt32(const QJsonValue& value) {
  if (!value.isDouble()) return false;
  const double d = value.toDouble();
  return d == std::floor(d) && d >= -2147483648.0 && d <= 2147483647.0;
}

PxCell IntegerCell(const QJsonValue& value, const std::string& key, std::int32_t fallback, Errors& errors) {
  if (value.isUndefined()) return fallback;
  if (value.isNull()) return PxCell{};
  if (!IsInt32(value)) {
    errors.push_back("'" + key + "' must be a whole number that fits in 32 bits");
    return PxCell{};
  }
  return static_cast<std::int32_t>(value.toDouble());
}

// A row of "Rows": 13 codes, or {"Label": "...", "Notes": [13 codes]}.
struct JsonRow {
  std::vector<int> codes;
  std::optional<std::string> label;  // in code page 1252; none: "Row n"
};

std::optional<std::vector<int>> ReadCodes(const QJsonValue& value, const std::string& where, Errors& errors) {
  const QJsonArray codes = value.toArray();
  if (!value.isArray() || codes.size() != kCodesPerRow) {
    errors.push_back(where + " must be a list of " + std::to_string(kCodesPerRow) + " note codes");
    return std::nullopt;
  }
  std::vector<int> out;
  for (const QJsonValue& code : codes) {
    // Two characters hold -9 to 99.
    if (!IsInt32(code) || code.toDouble() < kLowestCode || code.toDouble() > kHighestCode) {
      errors.push_back(where + " has a note code that is not a whole number from " + std::to_string(kLowestCode) +
                       " to " + std::to_string(kHighestCode));
      return std::nullopt;
    }
    out.push_back(code.toInt());
  }
  return out;
}

std::optional<JsonRow> ReadRow(const QJsonValue& value, const std::string& where, Errors& errors) {
  if (!value.isObject()) {
    auto codes = ReadCodes(value, where, errors);
    if (!codes) return std::nullopt;
    return JsonRow{std::move(*codes), std::nullopt};
  }
  const QJsonObject row = value.toObject();
  bool fine = true;
  for (const QString& key : row.keys())
    if (key != "Label" && key != "Notes") {
      errors.push_back(where + " has an unknown key '" + key.toStdString() + "'; a row has 'Label' and 'Notes'");
      fine = false;
    }
  auto codes = ReadCodes(row.value("Notes"), where + "'s 'Notes'", errors);
  std::optional<std::string> label;
  const QJsonValue text = row.value("Label");
  if (!text.isUndefined()) {
    const auto bytes = text.isString() ? EncodeCp1252(text.toString().toStdU16String()) : std::nullopt;
    if (!text.isString()) errors.push_back(where + "'s 'Label' must be a text");
    else if (!bytes) errors.push_back(where + "'s 'Label' has a character that code page 1252 cannot hold");
    else if (bytes->size() > kLabelLength)
      errors.push_back(where + "'s 'Label' is longer than " + std::to_string(kLabelLength) + " characters");
    else label = *bytes;
    fine = fine && label.has_value();
  }
  if (!codes || !fine) return std::nullopt;
  return JsonRow{std::move(*codes), std::move(label)};
}

std::vector<JsonRow> ReadRows(const QJsonValue& value, Errors& errors) {
  if (value.isUndefined()) return {};
  if (!value.isArray()) {
    errors.push_back("'Rows' must be a list of note rows");
    return {};
  }
  const QJsonArray rows = value.toArray();
  if (rows.size() > kMaxItems) {
    errors.push_back("'Rows' holds more than " + std::to_string(kMaxItems) + " rows");
    return {};
  }
  std::vector<JsonRow> out;
  for (qsizetype r = 0; r < rows.size(); ++r) {
    auto row = ReadRow(rows[r], "row " + std::to_string(r + 1) + " of 'Rows'", errors);
    out.push_back(row ? std::move(*row) : JsonRow{std::vector<int>(kCodesPerRow, 0), std::nullopt});
  }
  return out;
}

void CheckKeys(const QJsonObject& object, Errors& errors) {
  std::set<std::string> known = {"NumSelItems", "Rows"};
  for (const ColumnDefault& s : kLeadingColumns) known.insert(s.name);
  for (int n = 1; n <= kMaxItems; ++n) known.insert(ItemKey(n));
  for (const QString& key : object.keys())
    if (!known.count(key.toStdString())) errors.push_back("unknown key '" + key.toStdString() + "'");
}

// Where a parse error lies, as an editor counts: lines and characters from 1.
std::string LineAndColumn(const QByteArray& json, qsizetype offset) {
  offset = std::clamp<qsizetype>(offset, 0, json.size());
  int line = 1, column = 1;
  for (qsizetype i = 0; i < offset; ++i) {
    if (json[i] == '\n') line += 1, column = 1;
    else if ((json[i] & 0xC0) != 0x80) column += 1;  // a character, not a UTF-8 continuation byte
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

QJsonObject ParseObject(const QByteArray& json) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError)
    throw AmbrelJsonError("The JSON file has an error on " + LineAndColumn(json, error.offset) + ": " +
                          error.errorString().toStdString());
  if (!doc.isObject()) throw AmbrelJsonError("the session description must be a JSON object");
  return doc.object();
}

// An item text given beside its row in "Rows" must say the same: older
// descriptions give both for a labelled row, and an edit of one would
// otherwise be lost to the other.
void CheckItemAgrees(const QJsonValue& item, const JsonRow& row, const std::string& made, int n, Errors& errors) {
  if (!item.isString()) return;
  const auto raw = EncodeCp1252(item.toString().toStdU16String());
  if (!raw) return;
  const bool same = row.label ? *raw == made
                              : raw->size() >= static_cast<std::size_t>(kLabelLength) &&
                                    raw->substr(kLabelLength) == made.substr(kLabelLength);
  if (!same)
    errors.push_back("'" + ItemKey(n) + "' and row " + std::to_string(n) + " of 'Rows' give row " + std::to_string(n) +
                     " differently; keep one of them");
}

}  // namespace

std::string AmbrelItemText(int rowNumber, const std::vector<int>& codes, const std::optional<std::string>& label) {
  std::string text = label ? *label : "Row " + std::to_string(rowNumber);
  text.resize(kLabelLength, ' ');
  for (int code : codes) {
    const int magnitude = code < 0 ? -code : code;
    text.push_back(code < 0 ? '-' : static_cast<char>('0' + magnitude / 10 % 10));
    text.push_back(static_cast<char>('0' + magnitude % 10));
  }
  return text;
}

AmbrelTable AmbrelFromJson(const QByteArray& json) {
  const QJsonObject object = ParseObject(json);
  Errors errors;
  CheckKeys(object, errors);
  AmbrelTable table;
  for (const ColumnDefault& s : kLeadingColumns) {
    const QJsonValue value = object.value(s.name);
    int size = s.size;
    table.row.push_back(s.text ? TextCell(value, s.name, s.words, size, errors)
                               : IntegerCell(value, s.name, s.number, errors));
    table.columns.push_back({s.name, s.text ? pt::kAlpha : pt::kLong, size});
  }
  const std::vector<JsonRow> rows = ReadRows(object.value("Rows"), errors);
  table.row.push_back(
      IntegerCell(object.value("NumSelItems"), "NumSelItems", static_cast<std::int32_t>(rows.size()), errors));
  table.columns.push_back({"NumSelItems", pt::kLong, 4});
  for (int n = 1; n <= kMaxItems; ++n) {
    const bool inRows = n <= static_cast<int>(rows.size());
    const std::string made = inRows ? AmbrelItemText(n, rows[n - 1].codes, rows[n - 1].label) : "";
    const QJsonValue item = object.value(QString::fromStdString(ItemKey(n)));
    if (inRows) CheckItemAgrees(item, rows[n - 1], made, n, errors);
    int size = kItemSize;
    table.row.push_back(TextCell(item, ItemKey(n), made, size, errors));
    table.columns.push_back({ItemKey(n), pt::kAlpha, size});
  }
  if (!errors.empty()) {
    std::string all;
    for (const std::string& error : errors) all += (all.empty() ? "" : "\n") + error;
    throw AmbrelJsonError(all);
  }
  return table;
}

namespace {

QByteArray ReadJsonFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path + ": " + file.errorString().toStdString());
  const QByteArray json = file.read(kMaxJsonSize + 1);
  if (json.size() > kMaxJsonSize) throw std::runtime_error(path + " is larger than 1 MiB");
  return json;
}

}  // namespace

void CreateAmbrelTable(const std::string& jsonPath, const std::string& outPath) {
  AmbrelTable table;
  try {
    table = AmbrelFromJson(ReadJsonFile(jsonPath));
  } catch (const AmbrelJsonError& e) {
    throw std::runtime_error(jsonPath + ": " + e.what());
  }
  const std::string partial = outPath + ".part";
  try {
    WritePxlibTable(partial, table.columns, {table.row});
    std::filesystem::rename(partial, outPath);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    throw;
  }
}

}  // namespace kelvane
