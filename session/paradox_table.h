#pragma once
// The session table of the program: a Paradox table file read by the bounded
// reader. Open reads the whole file once; the reads answer from its first record.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/toolkit/table.h"
#include "session/paradox_reader.h"

namespace kelvane {

class ParadoxTable : public Table {
 public:
  void SetTableName(const std::string& path) override;
  // "Cannot open table <path>: <reason>" for a missing, unreadable, too large
  // or malformed file.
  void Open() override;
  void Close() override;
  std::int32_t FieldAsInteger(const std::string& name) override;
  std::string FieldAsString(const std::string& name) override;

  bool IsOpen() const { return data_.has_value(); }

 private:
  const ParadoxTableData& Data() const;

  std::string path_;
  std::optional<ParadoxTableData> data_;
};

// The bytes of a table file, at most kMaxParadoxFileSize of them; a
// ParadoxError naming the reason otherwise.
std::vector<std::uint8_t> ReadTableFile(const std::string& path);

// Reads and parses a table file; errors read "Cannot open table <path>: <reason>".
ParadoxTableData OpenParadoxFile(const std::string& path);

}  // namespace kelvane
