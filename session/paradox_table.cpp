#include "session/paradox_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

#include "session/paradox_value.h"

namespace kelvane {

std::vector<std::uint8_t> ReadTableFile(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) throw ParadoxError(std::strerror(errno));
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0) throw ParadoxError(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw ParadoxError("not a regular file");
  if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > kMaxParadoxFileSize)
    throw ParadoxError("the file is too large for a session table");
  // One byte more than the size, so a file that grew after fstat is caught too.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size) + 1);
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) throw ParadoxError(std::strerror(errno));
  if (got > kMaxParadoxFileSize) throw ParadoxError("the file is too large for a session table");
  bytes.resize(got);
  return bytes;
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
