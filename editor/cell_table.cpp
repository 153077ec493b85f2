#include "editor/cell_table.h"

#include <algorithm>
#include <cctype>

#include "session/paradox_reader.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

const PxCell& CellTable::Cell(const std::string& name) const {
  for (std::size_t i = 0; i < table_.columns.size(); ++i)
    if (SameName(table_.columns[i].name, name)) return table_.row.at(i);
  throw ParadoxError("Field '" + name + "' not found");
}

std::int32_t CellTable::FieldAsInteger(const std::string& name) {
  const PxCell& cell = Cell(name);
  if (const auto* i = std::get_if<std::int32_t>(&cell)) return *i;
  if (const auto* text = std::get_if<std::string>(&cell)) return text->empty() ? 0 : StrToInt(*text);
  return 0;
}

std::string CellTable::FieldAsString(const std::string& name) {
  const PxCell& cell = Cell(name);
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* i = std::get_if<std::int32_t>(&cell)) return IntToStr(*i);
  return {};
}

}  // namespace kelvane
