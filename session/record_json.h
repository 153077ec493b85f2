#pragma once
// `ambrel show`: a table's first record as a JSON object, one line per field
// in the table's order. Alpha texts are translated from the table's code page;
// numbers and logicals stay JSON numbers and booleans, dates are "YYYY-MM-DD"
// texts, nulls are null, and fields of a type the reader does not decode show
// as a text naming the type. For an Ambrel table the output is itself a valid
// input of `ambrel create`.

#include <string>

#include "session/paradox_reader.h"
#include "session/paradox_value.h"

namespace kelvane {

// Memos that continue beyond their record part are read through blobs.
std::string RecordAsJson(const ParadoxTableData& table, const ParadoxBlobReader& blobs = {});

}  // namespace kelvane
