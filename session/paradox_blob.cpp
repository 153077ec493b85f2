#include "session/paradox_blob.h"

#include <cstddef>

namespace kelvane {
namespace {

constexpr std::size_t kTrailerSize = 10;  // location, length, modification number
constexpr std::size_t kBlockSize = 4096;
constexpr std::uint8_t kSingleBlob = 2;
constexpr std::uint8_t kSuballocated = 3;
// A single-blob block: type, count of 4 KiB blocks, length, modification number.
constexpr std::size_t kSingleHeadSize = 9;
constexpr std::uint32_t kSingleIndex = 0xFF;
// A suballocated block: a 12-byte head, then 64 slots of 5 bytes: data offset
// and length in 16-byte units, modification number, bytes used of the last unit.
constexpr std::size_t kSlotTableStart = 12;
constexpr std::size_t kSlotCount = 64;
constexpr std::size_t kSlotSize = 5;
constexpr std::size_t kSlotTableEnd = kSlotTableStart + kSlotCount * kSlotSize;
constexpr std::size_t kUnit = 16;

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

bool Holds(std::span<const std::uint8_t> file, std::size_t at, std::size_t count) {
  return at <= file.size() && count <= file.size() - at;
}

std::string At(std::size_t block) { return "the block at offset " + std::to_string(block); }

std::string Copy(std::span<const std::uint8_t> file, std::size_t at, std::size_t count) {
  if (!Holds(file, at, count))
    throw ParadoxError("the blob's " + std::to_string(count) + " bytes at offset " + std::to_string(at) +
                       " run past the end of the file (" + std::to_string(file.size()) + " bytes)");
  const auto data = file.subspan(at, count);
  return std::string(data.begin(), data.end());
}

// Both the record and the block state the length: a disagreement means the
// record points at some other blob, or the file was damaged.
void CheckLength(std::uint32_t recorded, std::size_t stored, std::size_t block) {
  if (stored != recorded)
    throw ParadoxError("the record gives a blob of " + std::to_string(recorded) + " bytes, " + At(block) +
                       " one of " + std::to_string(stored) + " bytes");
}

std::string ReadSingle(std::span<const std::uint8_t> file, std::size_t block, std::uint32_t index,
                       std::uint32_t length) {
  if (index != kSingleIndex)
    throw ParadoxError(At(block) + " holds a single blob, but the record names slot " + std::to_string(index));
  if (!Holds(file, block, kSingleHeadSize)) throw ParadoxError("the head of " + At(block) + " runs past the end of the file");
  CheckLength(length, U32(file, block + 3), block);
  return Copy(file, block + kSingleHeadSize, length);
}

std::string ReadSuballocated(std::span<const std::uint8_t> file, std::size_t block, std::uint32_t index,
                             std::uint32_t length) {
  const std::string slotName = "slot " + std::to_string(index) + " of " + At(block);
  if (index >= kSlotCount) throw ParadoxError("the record names " + slotName + ", which has " + std::to_string(kSlotCount));
  const std::size_t slot = block + kSlotTableStart + index * kSlotSize;
  if (!Holds(file, slot, kSlotSize)) throw ParadoxError("the slot table of " + At(block) + " runs past the end of the file");
  const std::size_t units = file[slot + 1];
  const std::size_t lastUnitBytes = file[slot + 4];
  if (units == 0) throw ParadoxError(slotName + " is empty");
  if (lastUnitBytes < 1 || lastUnitBytes > kUnit) throw ParadoxError(slotName + " has a bad length");
  CheckLength(length, (units - 1) * kUnit + lastUnitBytes, block);
  const std::size_t start = file[slot] * kUnit;
  if (start < kSlotTableEnd || start + length > kBlockSize)
    throw ParadoxError(slotName + " points outside the block's data area");
  return Copy(file, block + start, length);
}

}  // namespace

ParadoxBlobField SplitParadoxBlob(std::span<const std::uint8_t> field) {
  const std::size_t trailer = field.size() - kTrailerSize;
  return {field.first(trailer), U32(field, trailer), U32(field, trailer + 4)};
}

std::string ReadParadoxBlob(std::span<const std::uint8_t> memoFile, std::uint32_t location, std::uint32_t length) {
  const std::size_t block = location & 0xFFFFFF00u;
  const std::uint32_t index = location & 0xFFu;
  if (block % kBlockSize != 0)
    throw ParadoxError("blob offset " + std::to_string(block) + " does not start a 4 KiB block");
  if (block >= memoFile.size())
    throw ParadoxError("blob offset " + std::to_string(block) + " lies past the end of the file (" +
                       std::to_string(memoFile.size()) + " bytes)");
  const std::uint8_t type = memoFile[block];
  if (type == kSingleBlob) return ReadSingle(memoFile, block, index, length);
  if (type == kSuballocated) return ReadSuballocated(memoFile, block, index, length);
  throw ParadoxError(At(block) + " has type " + std::to_string(type) + ", which holds no blob data");
}

}  // namespace kelvane
