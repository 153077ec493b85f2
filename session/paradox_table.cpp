#include "session/paradox_table.h"

#include <algorithm>
#include <filesystem>

#include "session/paradox_blob.h"
#include "state/file_bytes.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

bool SameLetters(std::string_view a, std::string_view b) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

// Where the .MB file would be if its name followed the table's letter case.
fs::path LikelyMemoPath(const fs::path& table) {
  return fs::path(table).replace_extension(table.extension() == ".db" ? ".mb" : ".MB");
}

// Tables copied from other systems keep their names in any letter case, so the
// .MB file is the one whose name matches the table's with the extension MB
// regardless of case; the least name when several do, to pick the same each time.
std::optional<fs::path> FindMemoFile(const fs::path& table) {
  std::error_code error;
  const fs::path likely = LikelyMemoPath(table);
  if (fs::exists(likely, error)) return likely;
  const std::string wanted = likely.filename().string();
  const fs::path dir = table.parent_path();
  std::optional<fs::path> found;
  for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, error), end; !error && it != end;
       it.increment(error)) {
    const fs::path name = it->path().filename();
    if (SameLetters(name.string(), wanted) && (!found || name < found->filename())) found = dir / name;
  }
  return found;
}

}  // namespace

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
  } catch (const NotAParadoxTable& e) {
    throw NotAParadoxTable("Cannot open table " + path + ": " + e.what());
  } catch (const ParadoxError& e) {
    throw ParadoxError("Cannot open table " + path + ": " + e.what());
  }
}

void ParadoxTable::SetTableName(const std::string& path) { path_ = path; }

void ParadoxTable::Open() {
  Close();
  data_ = OpenParadoxFile(path_);
}

void ParadoxTable::Close() {
  data_.reset();
  memoFile_.reset();
}

const ParadoxTableData& ParadoxTable::Data() const {
  if (!data_) throw ParadoxError("Table " + path_ + " is not open");
  return *data_;
}

// Read only when a memo needs it, so that a table whose memos all fit their
// records opens and reads without its .MB file.
const std::vector<std::uint8_t>& ParadoxTable::MemoFile() {
  if (memoFile_) return *memoFile_;
  const std::optional<fs::path> found = FindMemoFile(path_);
  if (!found) throw ParadoxError(LikelyMemoPath(path_).string() + ": no such file, in any letter case");
  memoPath_ = found->string();
  try {
    memoFile_ = ReadRegularFile(memoPath_, kMaxParadoxMemoFileSize, "the file is too large for a memo file");
  } catch (const FileReadError& e) {
    throw ParadoxError(memoPath_ + ": " + e.what());
  }
  return *memoFile_;
}

std::string ParadoxTable::ReadBlob(std::uint32_t location, std::uint32_t length) {
  const std::vector<std::uint8_t>& file = MemoFile();
  try {
    return ReadParadoxBlob(file, location, length);
  } catch (const ParadoxError& e) {
    throw ParadoxError(memoPath_ + ": " + e.what());
  }
}

ParadoxBlobReader ParadoxTable::Blobs() {
  return [this](std::uint32_t location, std::uint32_t length) { return ReadBlob(location, length); };
}

ParadoxValue ParadoxTable::Read(const std::string& name) { return ReadParadoxValue(Data(), name, Blobs()); }

std::int32_t ParadoxTable::FieldAsInteger(const std::string& name) { return ParadoxValueAsInteger(Read(name)); }

std::string ParadoxTable::FieldAsString(const std::string& name) { return ParadoxValueAsText(Read(name)); }

int ParadoxTable::CodePage() const { return data_ ? data_->statedCodePage : 0; }

}  // namespace kelvane
