#pragma once
// A bounded reader of Paradox 3 to 7 table files: the header, the field
// descriptors and names, and the first record. It parses a byte buffer only;
// every offset and length is checked against the buffer before it is used, so
// any input gives either a table or a ParadoxError.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// A file that is not a readable Paradox table, or a read that cannot be answered.
class ParadoxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file whose header is no Paradox table's at all, as opposed to a table
// that is damaged further in.
class NotAParadoxTable : public ParadoxError {
 public:
  using ParadoxError::ParadoxError;
};

// Field type codes as stored in the field descriptors.
namespace paradox_type {
inline constexpr std::uint8_t kAlpha = 0x01;
inline constexpr std::uint8_t kDate = 0x02;
inline constexpr std::uint8_t kShort = 0x03;
inline constexpr std::uint8_t kLong = 0x04;
inline constexpr std::uint8_t kCurrency = 0x05;
inline constexpr std::uint8_t kNumber = 0x06;
inline constexpr std::uint8_t kLogical = 0x09;
inline constexpr std::uint8_t kMemoBlob = 0x0C;
inline constexpr std::uint8_t kBlob = 0x0D;
inline constexpr std::uint8_t kFormattedMemo = 0x0E;
inline constexpr std::uint8_t kOle = 0x0F;
inline constexpr std::uint8_t kGraphic = 0x10;
inline constexpr std::uint8_t kTime = 0x14;
inline constexpr std::uint8_t kTimestamp = 0x15;
inline constexpr std::uint8_t kAutoInc = 0x16;
inline constexpr std::uint8_t kBcd = 0x17;
inline constexpr std::uint8_t kBytes = 0x18;
}  // namespace paradox_type

struct ParadoxField {
  std::string name;
  std::uint8_t type = 0;
  std::size_t size = 0;
  std::size_t offset = 0;  // within the record
};

struct ParadoxTableData {
  int version = 0;    // header byte 0x39: 3 = Paradox 3.0 ... 12 = Paradox 7
  int codePage = 0;   // alpha texts are in this code page, kept as 8-bit bytes
  int statedCodePage = 0;  // the code page the header states; 0 when it states none
  std::int32_t recordCount = 0;  // as the header says
  std::size_t recordSize = 0;
  std::vector<ParadoxField> fields;
  // The first record of the first data block that holds one; empty for a
  // table without records.
  std::optional<std::vector<std::uint8_t>> firstRecord;
};

// Whole table files above this size are refused before they are read.
inline constexpr std::size_t kMaxParadoxFileSize = std::size_t{32} << 20;

ParadoxTableData ParseParadox(std::span<const std::uint8_t> file);

// The field of that name, compared without regard to letter case; null when absent.
const ParadoxField* FindParadoxField(const ParadoxTableData& table, std::string_view name);

}  // namespace kelvane
