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

// A text cell; widens size to the text's length.
PxCell TextCell(const QJsonValue& value, const std::string& key, const std::string& fallback, int& size) {
  if (value.isUndefined()) return fallback.empty() ? PxCell{} : PxCell{fallback};
  if (value.isNull()) return PxCell{};
  if (!value.isString()) throw AmbrelJsonError("'" + key + "' must be a text");
  const auto bytes = EncodeCp1252(value.toString().toStdU16String());
  if (!bytes) throw AmbrelJsonError("'" + key + "' has a character that code page 1252 cannot hold");
  if (bytes->size() > kMaxAlpha)
    throw AmbrelJsonError("'" + key + "' is longer than " + std::to_string(kMaxAlpha) + " characters");
  size = std::max(size, static_cast<int>(bytes->size()));
  return bytes->empty() ? PxCell{} : PxCell{*bytes};
}

bool IsInt32(const QJsonValue& value) {
  if (!value.isDouble()) return false;
  const double d = value.toDouble();
  return d == std::floor(d) && d >= -2147483648.0 && d <= 2147483647.0;
}

PxCell IntegerCell(const QJsonValue& value, const std::string& key, std::int32_t fallback) {
  if (value.isUndefined()) return fallback;
  if (value.isNull()) return PxCell{};
  if (!IsInt32(value)) throw AmbrelJsonError("'" + key + "' must be a whole number that fits in 32 bits");
  return static_cast<std::int32_t>(value.toDouble());
}

std::vector<std::vector<int>> ReadRows(const QJsonValue& value) {
  if (value.isUndefined()) return {};
  if (!value.isArray()) throw AmbrelJsonError("'Rows' must be a list of note rows");
  const QJsonArray rows = value.toArray();
  if (rows.size() > kMaxItems) throw AmbrelJsonError("'Rows' holds more than " + std::to_string(kMaxItems) + " rows");
  std::vector<std::vector<int>> out;
  for (qsizetype r = 0; r < rows.size(); ++r) {
    const std::string where = "row " + std::to_string(r + 1) + " of 'Rows'";
    const QJsonArray codes = rows[r].toArray();
    if (!rows[r].isArray() || codes.size() != kCodesPerRow)
      throw AmbrelJsonError(where + " must be a list of " + std::to_string(kCodesPerRow) + " note codes");
    std::vector<int>& row = out.emplace_back();
    for (const QJsonValue& code : codes) {
      if (!IsInt32(code) || code.toDouble() < 0 || code.toDouble() > 99)
        throw AmbrelJsonError(where + " has a note code that is not a whole number from 0 to 99");
      row.push_back(code.toInt());
    }
  }
  return out;
}

void CheckKeys(const QJsonObject& object) {
  std::set<std::string> known = {"NumSelItems", "Rows"};
  for (const ColumnDefault& s : kLeadingColumns) known.insert(s.name);
  for (int n = 1; n <= kMaxItems; ++n) known.insert(ItemKey(n));
  for (const QString& key : object.keys())
    if (!known.count(key.toStdString())) throw AmbrelJsonError("unknown key '" + key.toStdString() + "'");
}

QJsonObject ParseObject(const QByteArray& json) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError)
    throw AmbrelJsonError("not valid JSON at offset " + std::to_string(error.offset) + ": " +
                          error.errorString().toStdString());
  if (!doc.isObject()) throw AmbrelJsonError("the session description must be a JSON object");
  return doc.object();
}

}  // namespace

std::string AmbrelItemText(int rowNumber, const std::vector<int>& codes) {
  std::string text = "Row " + std::to_string(rowNumber);
  text.resize(20, ' ');
  for (int code : codes) {
    text.push_back(static_cast<char>('0' + code / 10 % 10));
    text.push_back(static_cast<char>('0' + code % 10));
  }
  return text;
}

AmbrelTable AmbrelFromJson(const QByteArray& json) {
  const QJsonObject object = ParseObject(json);
  CheckKeys(object);
  AmbrelTable table;
  for (const ColumnDefault& s : kLeadingColumns) {
    const QJsonValue value = object.value(s.name);
    int size = s.size;
    table.row.push_back(s.text ? TextCell(value, s.name, s.words, size) : IntegerCell(value, s.name, s.number));
    table.columns.push_back({s.name, s.text ? pt::kAlpha : pt::kLong, size});
  }
  const auto rows = ReadRows(object.value("Rows"));
  table.row.push_back(IntegerCell(object.value("NumSelItems"), "NumSelItems", static_cast<std::int32_t>(rows.size())));
  table.columns.push_back({"NumSelItems", pt::kLong, 4});
  for (int n = 1; n <= kMaxItems; ++n) {
    const std::string made = n <= static_cast<int>(rows.size()) ? AmbrelItemText(n, rows[n - 1]) : "";
    int size = kItemSize;
    table.row.push_back(TextCell(object.value(QString::fromStdString(ItemKey(n))), ItemKey(n), made, size));
    table.columns.push_back({ItemKey(n), pt::kAlpha, size});
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
