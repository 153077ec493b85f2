#pragma once
// The session table: a one-record table file read by column name.

#include <cstdint>
#include <string>

namespace kelvane {

class Table {
 public:
  virtual ~Table() = default;

  virtual void SetTableName(const std::string& path) = 0;
  // Opens the table named last; throws a clear error for a missing file or one
  // that is not a table.
  virtual void Open() = 0;
  // Closes (deactivates) the table; harmless when it is not open.
  virtual void Close() = 0;
  // The first record's column, found by name without regard to letter case.
  // A null reads as 0 or empty text; a missing column or a text that is not a
  // number throws.
  virtual std::int32_t FieldAsInteger(const std::string& name) = 0;
  virtual std::string FieldAsString(const std::string& name) = 0;
  // The code page the open table's texts are in (437, 850, 1252, ...), or
  // 0 when the table does not say; texts are read as the bytes they are.
  virtual int CodePage() const = 0;
};

}  // namespace kelvane
