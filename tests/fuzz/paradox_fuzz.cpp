// Fuzz target: parse a buffer as a Paradox table and read every column of its
// first record as integer and as text, by its own name and in upper case,
// as the session loader would.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "app/toolkit/text.h"
#include "session/paradox_reader.h"
#include "session/paradox_value.h"

namespace {

void ReadColumn(const kelvane::ParadoxTableData& table, const std::string& name) {
  try {
    const kelvane::ParadoxValue value = kelvane::ReadParadoxValue(table, name);
    (void)kelvane::ParadoxValueAsText(value);
    (void)kelvane::ParadoxValueAsInteger(value);
  } catch (const kelvane::ParadoxError&) {
  } catch (const kelvane::ConversionError&) {
  }
}

std::string Upper(std::string name) {
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto table = kelvane::ParseParadox(std::span<const std::uint8_t>(data, size));
    for (const auto& field : table.fields) {
      ReadColumn(table, field.name);
      ReadColumn(table, Upper(field.name));
    }
    ReadColumn(table, "Cycles");
  } catch (const kelvane::ParadoxError&) {
  }
  return 0;
}
