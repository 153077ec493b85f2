#include "session/paradox_table.h"


#include "session/file_bytes.h"
#include "session/paradox_value.h"

namespace kelvane {

std::vector<std::uint8_t> ReadTableFile(const std::string& path) {
  try {
    return ReadRegularFile(path, kMaxParadoxFileSize, "the file is too large for a session table");
  } catch (const FileReadError& e) {
    throw ParadoxError(e.what());
  }
}

ParadoxTableData OpenParadoxFile(const std::string& path) {
  try {
    return ParseParadox(ReadTableFile(path));
  } catch (const ParadoxError& e) {
    throw ParadoxError("Cannot open table " + path + ": " + e.what());
  }
}

void ParadoxTable::SetTableName(const std::string& path) { path_ = path; }

void ParadoxTable::Open() {
  data_.reset();
  data_ = OpenParadoxFile(path_);
}

void ParadoxTable::Close() { data_.reset(); }

const ParadoxTableData& ParadoxTable::Data() const {
  if (!data_) throw ParadoxError("Table " + path_ + " is not open");
  return *data_;
}

std::int32_t ParadoxTable::FieldAsInteger(const std::string& name) {
  return ParadoxValueAsInteger(ReadParadoxValue(Data(), name));
}

std::string ParadoxTable::FieldAsString(const std::string& name) {
  return ParadoxValueAsText(ReadParadoxValue(Data(), name));
}

}  // namespace kelvane
