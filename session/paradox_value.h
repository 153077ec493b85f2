#pragma once
// Typed values of a Paradox record and the engine's conversions of them to an
// integer or a text.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "session/paradox_reader.h"

namespace kelvane {

struct ParadoxDate {
  std::int32_t day = 0;  // day 1 is 1 January of year 1 (proleptic Gregorian)
};

// Null, short/long/autoincrement, number/currency, logical, date, alpha (8-bit bytes).
using ParadoxValue = std::variant<std::monostate, std::int32_t, double, bool, ParadoxDate, std::string>;

// The value of one field of a record; a ParadoxError for the types the reader
// does not decode (memos, blobs, times, BCD, bytes).
ParadoxValue DecodeParadoxValue(const ParadoxField& field, std::span<const std::uint8_t> record);

// The first record's value of the named field (letter case ignored); throws
// "Field '<name>' not found" or, for a table without records, "No current record".
ParadoxValue ReadParadoxValue(const ParadoxTableData& table, std::string_view name);

// Null reads as 0; a number is rounded to the nearest integer, halves away
// from zero; a logical is 0 or 1; a date is its day number; an alpha text
// converts as StrToInt does. Anything that does not fit raises ConversionError.
std::int32_t ParadoxValueAsInteger(const ParadoxValue& value);

// Null reads as empty; numbers in decimal with up to 15 significant digits;
// "False"/"True"; a date as YYYY-MM-DD; alpha texts unchanged.
std::string ParadoxValueAsText(const ParadoxValue& value);

std::string ParadoxDateText(std::int32_t day);

}  // namespace kelvane
