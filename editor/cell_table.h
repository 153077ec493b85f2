#pragma once
// An Ambrel record that `ambrel create` would write, read through the same
// Table interface as a file, so an imported description and an opened table
// are read by one reader with the same conversions.

#include "session/ambrel_json.h"
#include "toolkit/table.h"

namespace kelvane {

class CellTable : public Table {
 public:
  explicit CellTable(AmbrelTable table) : table_(std::move(table)) {}

  void SetTableName(const std::string&) override {}
  void Open() override {}
  void Close() override {}
  // As the session table converts: a null is 0 or empty text, a text must be
  // a number to read as one, an unknown column raises "Field '<name>' not found".
  std::int32_t FieldAsInteger(const std::string& name) override;
  std::string FieldAsString(const std::string& name) override;
  // `ambrel create` keeps texts in code page 1252.
  int CodePage() const override { return 1252; }

 private:
  const PxCell& Cell(const std::string& name) const;
  AmbrelTable table_;
};

}  // namespace kelvane
