#include "session/record_json.h"

#include <cmath>
#include <cstdio>
#include <variant>

#include <QString>

#include "session/code_pages.h"
#include "session/json_string.h"
#include "session/paradox_value.h"

namespace kelvane {
namespace {

// A table's 8-bit text in its code page, as a JSON string.
std::string TextJson(const std::string& bytes, int codePage) {
  return JsonString(QString::fromStdU16String(DecodeCodePage(bytes, codePage)).toStdString());
}

std::string JsonValue(const ParadoxValue& value, int codePage) {
  if (std::holds_alternative<std::monostate>(value)) return "null";
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
  if (const auto* s = std::get_if<std::string>(&value)) return TextJson(*s, codePage);
  if (const auto* d = std::get_if<double>(&value); d && !std::isfinite(*d))
    return JsonString(ParadoxValueAsText(value));
  if (std::holds_alternative<ParadoxDate>(value)) return JsonString(ParadoxValueAsText(value));
  return ParadoxValueAsText(value);
}

std::string FieldJson(const ParadoxTableData& table, const ParadoxField& field, const ParadoxBlobReader& blobs) {
  try {
    return JsonValue(DecodeParadoxValue(field, *table.firstRecord, blobs), table.codePage);
  } catch (const ParadoxError&) {
    char type[40];
    std::snprintf(type, sizeof type, "(field type 0x%02X not shown)", field.type);
    return JsonString(type);
  }
}

}  // namespace

std::string RecordAsJson(const ParadoxTableData& table, const ParadoxBlobReader& blobs) {
  if (!table.firstRecord) throw ParadoxError("the table has no record to show");
  std::string out = "{\n";
  for (std::size_t i = 0; i < table.fields.size(); ++i) {
    const ParadoxField& field = table.fields[i];
    out += "  " + TextJson(field.name, table.codePage) + ": " + FieldJson(table, field, blobs);
    out += i + 1 < table.fields.size() ? ",\n" : "\n";
  }
  return out + "}\n";
}

}  // namespace kelvane
