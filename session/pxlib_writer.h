#pragma once
// Writes Paradox tables with pxlib: the writer of `ambrel create`, and an
// implementation independent of the program's own reader for its tests.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace kelvane {

struct PxColumn {
  std::string name;
  // A paradox_type code: alpha, short, long, autoinc, number, currency,
  // logical, date, or a blob: memo, formatted memo, binary, OLE, graphic.
  std::uint8_t type = 0;
  int size = 0;  // bytes in the record; for a blob, 10 more than the data kept there
};

// No value (a null), an integer (also logical 0/1 and date day numbers), a
// number, or the 8-bit bytes of an alpha text or of a blob's data.
using PxCell = std::variant<std::monostate, std::int32_t, double, std::string>;
using PxRow = std::vector<PxCell>;

class PxlibError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creates (or replaces) the table at path with one record per row. A password
// makes pxlib encrypt the table. A table with blob columns gets its .MB file
// at PxlibMemoPath(path), also created or replaced.
// A code page above 0 is written into the header as the texts' code page.
void WritePxlibTable(const std::string& path, const std::vector<PxColumn>& columns, const std::vector<PxRow>& rows,
                     const std::string& password = {}, int codePage = 0);

// The table's path with the extension .mb, or .MB unless the table's is .db.
std::string PxlibMemoPath(const std::string& tablePath);

}  // namespace kelvane
