#include "session/paradox_value.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "session/paradox_blob.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

namespace pt = paradox_type;

std::uint64_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::uint64_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  return value;
}

// Integers are stored big-endian with the sign bit flipped, so that they sort
// as bytes; all-zero bytes are the null.
std::int32_t SignFlipped(std::span<const std::uint8_t> bytes) {
  const std::uint64_t signBit = std::uint64_t{1} << (8 * bytes.size() - 1);
  const std::uint64_t raw = BigEndian(bytes) ^ signBit;
  // Sign-extend from the stored width.
  return static_cast<std::int32_t>(static_cast<std::int64_t>(raw << (64 - 8 * bytes.size())) >>
                                   (64 - 8 * bytes.size()));
}

// Doubles keep their top bit set when positive and are inverted when negative.
double StoredDouble(std::span<const std::uint8_t> bytes) {
  std::uint64_t raw = BigEndian(bytes);
  raw = (raw & 0x8000000000000000u) ? raw & 0x7FFFFFFFFFFFFFFFu : ~raw;
  return std::bit_cast<double>(raw);
}

std::string AlphaText(std::span<const std::uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return std::string(bytes.begin(), end);
}

// A memo's text ends at its first NUL like an alpha text, so that both kinds
// of column read alike wherever the text is shown or converted.
std::string MemoText(const ParadoxField& field, std::span<const std::uint8_t> bytes, const ParadoxBlobReader& blobs) {
  const ParadoxBlobField blob = SplitParadoxBlob(bytes);
  try {
    if (blob.length <= blob.head.size()) return AlphaText(blob.head.first(blob.length));
    if (!blobs) throw ParadoxError("its text continues in the .MB file, which is not read here");
    const std::string whole = blobs(blob.location, blob.length);
    return whole.substr(0, whole.find('\0'));
  } catch (const ParadoxError& e) {
    throw ParadoxError("Cannot read the memo of field '" + field.name + "': " + e.what());
  }
}

std::string NumberText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  return std::string(text, result.ptr);
}

}  // namespace

ParadoxValue DecodeParadoxValue(const ParadoxField& field, std::span<const std::uint8_t> record,
                                const ParadoxBlobReader& blobs) {
  if (field.offset > record.size() || field.size > record.size() - field.offset)
    throw ParadoxError("Field '" + field.name + "' lies outside the record");
  const auto bytes = record.subspan(field.offset, field.size);
  if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; })) return std::monostate{};
  switch (field.type) {
    case pt::kAlpha: return AlphaText(bytes);
    case pt::kShort: case pt::kLong: case pt::kAutoInc:
      if (bytes.size() <= 4) return SignFlipped(bytes);
      break;
    case pt::kDate:
      if (bytes.size() <= 4) return ParadoxDate{SignFlipped(bytes)};
      break;
    case pt::kNumber: case pt::kCurrency: return StoredDouble(bytes);
    case pt::kLogical: return (bytes[0] & 0x7F) != 0;
    case pt::kMemoBlob: case pt::kFormattedMemo: return MemoText(field, bytes, blobs);
    // Pictures and binary data stand in sessions only as placeholders that
    // nothing shows, so their bytes are never fetched from the .MB file.
    case pt::kBlob: case pt::kOle: case pt::kGraphic: return std::string();
    default: break;
  }
  char type[8];
  std::snprintf(type, sizeof type, "0x%02X", field.type);
  throw ParadoxError("Field '" + field.name + "' has a type that cannot be read (" + type + ")");
}

ParadoxValue ReadParadoxValue(const ParadoxTableData& table, std::string_view name, const ParadoxBlobReader& blobs) {
  const ParadoxField* field = FindParadoxField(table, name);
  if (!field) throw ParadoxError("Field '" + std::string(name) + "' not found");
  if (!table.firstRecord) throw ParadoxError("No current record");
  return DecodeParadoxValue(*field, *table.firstRecord, blobs);
}

std::int32_t ParadoxValueAsInteger(const ParadoxValue& value) {
  struct {
    std::int32_t operator()(std::monostate) const { return 0; }
    std::int32_t operator()(std::int32_t v) const { return v; }
    std::int32_t operator()(bool v) const { return v ? 1 : 0; }
    std::int32_t operator()(ParadoxDate d) const { return d.day; }
    std::int32_t operator()(const std::string& s) const { return s.empty() ? 0 : StrToInt(s); }
    std::int32_t operator()(double v) const {
      const double rounded = std::round(v);
      if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw ConversionError("'" + NumberText(v) + "' is not a valid integer value");
      return static_cast<std::int32_t>(rounded);
    }
  } convert;
  return std::visit(convert, value);
}

std::string ParadoxValueAsText(const ParadoxValue& value) {
  struct {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(std::int32_t v) const { return IntToStr(v); }
    std::string operator()(bool v) const { return v ? "True" : "False"; }
    std::string operator()(ParadoxDate d) const { return ParadoxDateText(d.day); }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(double v) const { return NumberText(v); }
  } convert;
  return std::visit(convert, value);
}

// Days to a civil date (H. Hinnant's algorithm), counted from 1 January of year 1.
std::string ParadoxDateText(std::int32_t day) {
  const std::int64_t z = std::int64_t{day} - 1 + 306;  // shift the epoch to 1 March of year 0
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(y), static_cast<long long>(m),
                static_cast<long long>(d));
  return text;
}

}  // namespace kelvane
