#pragma once
// The session table of the program: a Paradox table file read by the bounded
// reader. Open reads the whole file once; the reads answer from its first
// record, and a memo too long for its record part from the table's .MB file,
// read at the first such memo.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "session/paradox_reader.h"
#include "session/paradox_value.h"
#include "toolkit/table.h"

namespace kelvane {

class ParadoxTable : public Table {
 public:
  void SetTableName(const std::string& path) override;
  // "Cannot open table <path>: <reason>" for a missing, unreadable, too large
  // or malformed file.
  void Open() override;
  void Close() override;
  // A memo that cannot be read gives "Cannot read the memo of field '<name>':
  // <.MB path>: <reason>".
  std::int32_t FieldAsInteger(const std::string& name) override;
  std::string FieldAsString(const std::string& name) override;
  int CodePage() const override;

  bool IsOpen() const { return data_.has_value(); }
  // The open table, and its blob data read from the .MB file when needed.
  const ParadoxTableData& Data() const;
  ParadoxBlobReader Blobs();

 private:
  ParadoxValue Read(const std::string& name);
  const std::vector<std::uint8_t>& MemoFile();
  std::string ReadBlob(std::uint32_t location, std::uint32_t length);

  std::string path_;
  std::optional<ParadoxTableData> data_;
  std::string memoPath_;
  std::optional<std::vector<std::uint8_t>> memoFile_;
};

// The bytes of a table file, at most kMaxParadoxFileSize of them; a
// ParadoxError naming the reason otherwise.
std::vector<std::uint8_t> ReadTableFile(const std::string& path);

// Reads and parses a table file; errors read "Cannot open table <path>: <reason>".
ParadoxTableData OpenParadoxFile(const std::string& path);

}  // namespace kelvane
