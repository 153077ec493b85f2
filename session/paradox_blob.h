#pragma once
// Blob fields (memos, formatted memos, binary, OLE and graphic): the part kept
// in the record, and a bounded reader of the table's .MB file for the rest.
// Like the table reader, it parses bytes only, so any .MB file gives either
// the data or a ParadoxError.

#include <cstdint>
#include <span>
#include <string>

#include "session/paradox_reader.h"

namespace kelvane {

// A blob field of the record: its first bytes, then where the whole data lies.
struct ParadoxBlobField {
  std::span<const std::uint8_t> head;  // the field's size less 10 bytes
  std::uint32_t location = 0;          // .MB block offset; its low byte picks the blob inside the block
  std::uint32_t length = 0;            // of the whole data
};

// The field bytes must be at least 10 long, as the reader ensures for blob types.
ParadoxBlobField SplitParadoxBlob(std::span<const std::uint8_t> field);

// .MB files above this size are refused before they are read.
inline constexpr std::size_t kMaxParadoxMemoFileSize = kMaxParadoxFileSize;

// The whole data of a blob that does not fit its record part, from the bytes
// of the .MB file; a ParadoxError with the reason when the file cannot hold it.
std::string ReadParadoxBlob(std::span<const std::uint8_t> memoFile, std::uint32_t location, std::uint32_t length);

}  // namespace kelvane
