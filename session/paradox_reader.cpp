#include "session/paradox_reader.h"

#include <algorithm>

namespace kelvane {
namespace {

namespace pt = paradox_type;

constexpr std::size_t kCommonHeaderEnd = 0x58;
constexpr std::size_t kSecondHeaderEnd = 0x78;  // present from version 5 on
constexpr std::size_t kMaxFields = 255;
constexpr std::size_t kBlockHeadSize = 6;
constexpr std::size_t kBcdSize = 17;
// Paradox 4 and later keep this in the first encryption word and the real
// one in the second header.
constexpr std::uint32_t kSeeSecondEncryption = 0xFF00FF00;

// Little-endian reads that refuse to leave the bytes they were given.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}
  std::size_t Size() const { return data_.size(); }
  bool Holds(std::size_t at, std::size_t count) const { return at <= data_.size() && count <= data_.size() - at; }
  void Need(std::size_t at, std::size_t count, const char* what) const {
    if (!Holds(at, count)) throw ParadoxError(std::string(what) + " runs past the end of the header");
  }
  std::uint8_t U8(std::size_t at) const {
    Need(at, 1, "a header value");
    return data_[at];
  }
  std::uint16_t U16(std::size_t at) const {
    Need(at, 2, "a header value");
    return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
  }
  std::uint32_t U32(std::size_t at) const { return U16(at) | std::uint32_t{U16(at + 2)} << 16; }
  std::span<const std::uint8_t> Slice(std::size_t at, std::size_t count) const { return data_.subspan(at, count); }

 private:
  std::span<const std::uint8_t> data_;
};

struct Header {
  std::size_t recordSize = 0;
  std::size_t headerSize = 0;
  std::size_t blockSize = 0;
  std::size_t fieldCount = 0;
  std::size_t firstBlock = 0;
  std::int32_t recordCount = 0;
  int version = 0;
  bool secondHeader = false;
};

void CheckEncryption(const Bytes& head, const Header& h) {
  std::uint32_t key = head.U32(0x25);
  if (key == kSeeSecondEncryption) key = h.secondHeader ? head.U32(0x5C) : 0;
  if (key != 0) throw ParadoxError("the table is encrypted");
}

Header ReadHeader(const Bytes& file) {
  if (file.Size() < kCommonHeaderEnd) throw NotAParadoxTable("the file is too short for a Paradox header");
  Header h;
  h.recordSize = file.U16(0x00);
  h.headerSize = file.U16(0x02);
  const int fileType = file.U8(0x04);
  const std::size_t blockKiB = file.U8(0x05);
  h.recordCount = static_cast<std::int32_t>(file.U32(0x06));
  h.firstBlock = file.U16(0x0E);
  h.fieldCount = file.U16(0x21);
  h.version = file.U8(0x39);
  h.secondHeader = h.version >= 5;
  if (h.version < 3 || h.version > 12)
    throw NotAParadoxTable("not a Paradox table (version byte " + std::to_string(h.version) + ")");
  if (fileType != 0 && fileType != 2)
    throw NotAParadoxTable("not a Paradox data table (file type " + std::to_string(fileType) + ")");
  if (blockKiB < 1 || blockKiB > 32) throw NotAParadoxTable("bad block size of " + std::to_string(blockKiB) + " KiB");
  h.blockSize = blockKiB * 1024;
  if (h.fieldCount == 0) throw NotAParadoxTable("the table has no fields");
  if (h.fieldCount > kMaxFields) throw NotAParadoxTable("too many fields (" + std::to_string(h.fieldCount) + ")");
  if (h.recordSize == 0 || h.recordSize > h.blockSize - kBlockHeadSize)
    throw NotAParadoxTable("record size " + std::to_string(h.recordSize) + " does not fit in a data block");
  if (h.recordCount < 0) throw NotAParadoxTable("negative record count");
  if (h.headerSize < (h.secondHeader ? kSecondHeaderEnd : kCommonHeaderEnd) || h.headerSize > file.Size())
    throw NotAParadoxTable("bad header size " + std::to_string(h.headerSize));
  return h;
}

// The bytes a field takes in the record; false for an unknown type or a size
// that type cannot have.
bool RecordBytes(std::uint8_t type, std::size_t stored, std::size_t& bytes) {
  bytes = stored;
  switch (type) {
    case pt::kAlpha: case pt::kBytes: return stored >= 1;
    case pt::kShort: return stored == 2;
    case pt::kLong: case pt::kDate: case pt::kAutoInc: case pt::kTime: return stored == 4;
    case pt::kNumber: case pt::kCurrency: case pt::kTimestamp: return stored == 8;
    case pt::kLogical: return stored == 1;
    case pt::kMemoBlob: case pt::kBlob: case pt::kFormattedMemo: case pt::kOle: case pt::kGraphic:
      return stored >= 10;
    case pt::kBcd:  // the descriptor holds the decimals; the value always takes 17 bytes
      bytes = kBcdSize;
      return stored <= 32;
    default: return false;
  }
}

std::vector<ParadoxField> ReadDescriptors(const Bytes& head, const Header& h) {
  const std::size_t start = h.secondHeader ? kSecondHeaderEnd : kCommonHeaderEnd;
  head.Need(start, 2 * h.fieldCount, "the field descriptors");
  std::vector<ParadoxField> fields(h.fieldCount);
  std::size_t offset = 0;
  for (std::size_t i = 0; i < h.fieldCount; ++i) {
    ParadoxField& f = fields[i];
    f.type = head.U8(start + 2 * i);
    if (!RecordBytes(f.type, head.U8(start + 2 * i + 1), f.size))
      throw ParadoxError("field " + std::to_string(i + 1) + " has an unknown type or size");
    f.offset = offset;
    offset += f.size;
  }
  if (offset != h.recordSize)
    throw ParadoxError("the field sizes add up to " + std::to_string(offset) + " bytes, the record size is " +
                       std::to_string(h.recordSize));
  return fields;
}

// The names follow the descriptors, a pointer, one pointer per field and the
// table name, each NUL-terminated inside the header.
void ReadNames(const Bytes& head, const Header& h, std::vector<ParadoxField>& fields) {
  const std::size_t tableName = h.version >= 12 ? 261 : 79;
  std::size_t at = (h.secondHeader ? kSecondHeaderEnd : kCommonHeaderEnd) + 2 * h.fieldCount + 4 +
                   4 * h.fieldCount + tableName;
  for (ParadoxField& f : fields) {
    std::size_t end = at;
    while (end < head.Size() && head.U8(end) != 0) ++end;
    if (end >= head.Size()) throw ParadoxError("the field names run past the end of the header");
    const auto name = head.Slice(at, end - at);
    f.name.assign(name.begin(), name.end());
    at = end + 1;
  }
}

// Walks the whole chain of data blocks so that a link out of the file or a
// cycle is refused, and keeps the first record met on the way.
std::optional<std::vector<std::uint8_t>> ReadFirstRecord(const Bytes& file, const Header& h) {
  std::optional<std::vector<std::uint8_t>> first;
  const std::size_t blockCount = (file.Size() - h.headerSize) / h.blockSize;
  std::vector<bool> seen(blockCount + 1, false);
  for (std::size_t n = h.firstBlock; n != 0;) {
    if (n > blockCount) throw ParadoxError("data block " + std::to_string(n) + " lies outside the file");
    if (seen[n]) throw ParadoxError("the chain of data blocks runs in a cycle at block " + std::to_string(n));
    seen[n] = true;
    const std::size_t start = h.headerSize + (n - 1) * h.blockSize;
    const auto fill = static_cast<std::int16_t>(file.U16(start + 4));
    const std::size_t records = fill < 0 ? 0 : static_cast<std::size_t>(fill) / h.recordSize + 1;
    if (kBlockHeadSize + records * h.recordSize > h.blockSize)
      throw ParadoxError("data block " + std::to_string(n) + " claims more records than it can hold");
    if (!first && records > 0) {
      const auto record = file.Slice(start + kBlockHeadSize, h.recordSize);
      first.emplace(record.begin(), record.end());
    }
    n = file.U16(start);
  }
  return first;
}

bool SameName(std::string_view a, std::string_view b) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

ParadoxTableData ParseParadox(std::span<const std::uint8_t> file) {
  if (file.size() > kMaxParadoxFileSize) throw ParadoxError("the file is too large for a session table");
  const Bytes whole(file);
  const Header h = ReadHeader(whole);
  const Bytes head(file.first(h.headerSize));
  CheckEncryption(head, h);
  ParadoxTableData table;
  table.version = h.version;
  table.recordCount = h.recordCount;
  table.recordSize = h.recordSize;
  table.fields = ReadDescriptors(head, h);
  ReadNames(head, h, table.fields);
  table.statedCodePage = h.secondHeader ? head.U16(0x6A) : 0;
  table.codePage = h.secondHeader ? table.statedCodePage : 437;
  if (table.codePage == 0) table.codePage = 1252;
  table.firstRecord = ReadFirstRecord(whole, h);
  return table;
}

const ParadoxField* FindParadoxField(const ParadoxTableData& table, std::string_view name) {
  for (const ParadoxField& f : table.fields)
    if (SameName(f.name, name)) return &f;
  return nullptr;
}

}  // namespace kelvane
