// Fuzz target: parse a buffer as a Paradox table, with or without its .MB
// file (see paradox_fuzz_input.h), and read every column of its first record
// as integer and as text, by its own name and in upper case, as the session
// loader would.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "session/paradox_blob.h"
#include "session/paradox_reader.h"
#include "session/paradox_value.h"
#include "tests/fuzz/paradox_fuzz_input.h"
#include "toolkit/text.h"

namespace {

void ReadColumn(const kelvane::ParadoxTableData& table, const std::string& name,
                const kelvane::ParadoxBlobReader& blobs) {
  try {
    const kelvane::ParadoxValue value = kelvane::ReadParadoxValue(table, name, blobs);
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
  const auto input = kelvane::fuzz::SplitFuzzInput(std::span<const std::uint8_t>(data, size));
  const kelvane::ParadoxBlobReader blobs = [&input](std::uint32_t location, std::uint32_t length) {
    if (!input.memoFile) throw kelvane::ParadoxError("no .MB file");
    return kelvane::ReadParadoxBlob(*input.memoFile, location, length);
  };
  try {
    const auto table = kelvane::ParseParadox(input.table);
    for (const auto& field : table.fields) {
      ReadColumn(table, field.name, blobs);
      ReadColumn(table, Upper(field.name), blobs);
    }
    ReadColumn(table, "Cycles", blobs);
  } catch (const kelvane::ParadoxError&) {
  }
  return 0;
}
