#pragma once
// The code pages of Paradox alpha texts that the tools translate: 437 and 850
// (DOS) and 1252 (Windows, also what a code page of 0 means).

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace kelvane {

// 8-bit text of a table in that code page; unknown code pages read as 1252.
QString DecodeCodePage(std::string_view bytes, int codePage);

// The Windows-1252 bytes of a text; empty when a character has no byte there.
std::optional<std::string> EncodeCp1252(const QString& text);

}  // namespace kelvane
