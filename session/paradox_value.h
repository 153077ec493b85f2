#pragma once
// Typed values of a Paradox record and the engine's conversions of them to an
// integer or a text.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "session/paradox_reader.h"

namespace kelvane {

struct ParadoxDate {
  std::int32_t day = 0;  // day 1 is 1 January of year 1 (proleptic Gregorian)
};

// Null, short/long/autoincrement, number/currency, logical, date, and text:
// alpha and memo texts as 8-bit bytes, graphic, binary and OLE fields as empty text.
using ParadoxValue = std::variant<std::monostate, std::int32_t, double, bool, ParadoxDate, std::string>;

// The whole data of a blob from the table's .MB file, given the location and
// length its field holds; throws a ParadoxError naming the file and the reason.
using ParadoxBlobReader = std::function<std::string(std::uint32_t location, std::uint32_t length)>;

// The value of one field of a record; a ParadoxError for the types the reader
// does not decode (times, BCD, bytes). A memo that does not fit its record
// part is read with blobs; without one, or when it fails, the error reads
// "Cannot read the memo of field '<name>': <reason>".
ParadoxValue DecodeParadoxValue(const ParadoxField& field, std::span<const std::uint8_t> record,
                                const ParadoxBlobReader& blobs = {});

// The first record's value of the named field (letter case ignored); throws
// "Field '<name>' not found" or, for a table without records, "No current record".
ParadoxValue ReadParadoxValue(const ParadoxTableData& table, std::string_view name,
                              const ParadoxBlobReader& blobs = {});

// Null reads as 0; a number is rounded to the nearest integer, halves away
// from zero; a logical is 0 or 1; a date is its day number; a text converts
// as StrToInt does, an empty one to 0. Anything that does not fit raises
// ConversionError.
std::int32_t ParadoxValueAsInteger(const ParadoxValue& value);

// Null reads as empty; numbers in decimal with up to 15 significant digits;
// "False"/"True"; a date as YYYY-MM-DD; texts unchanged.
std::string ParadoxValueAsText(const ParadoxValue& value);

std::string ParadoxDateText(std::int32_t day);

}  // namespace kelvane
