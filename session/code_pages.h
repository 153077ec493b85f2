#pragma once
// The code pages of Paradox alpha texts that the program translates: 437 and
// 850 (DOS) and 1252 (Windows, also what a code page of 0 means).

#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

// True for the code pages DecodeCodePage knows.
bool KnownCodePage(int codePage);

// 8-bit text of a table in that code page; unknown code pages read as 1252.
std::u16string DecodeCodePage(std::string_view bytes, int codePage);

// The Windows-1252 bytes of a text; empty when a character has no byte there.
std::optional<std::string> EncodeCp1252(std::u16string_view text);

}  // namespace kelvane
