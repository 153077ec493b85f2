#pragma once
// The melody's keys: the blues scale on C over two octaves from middle C,
// closed by the C two octaves up. Shared by the patcher and the templates.

#include <array>
#include <cstdint>

namespace kelvane {

// Indexed by note code; code 0 plays like code 1.
inline constexpr std::array<std::uint8_t, 14> NoteKeyTable = {
    60, 60, 63, 65, 66, 67, 70, 72, 75, 77, 78, 79, 82, 84};

inline constexpr bool IsNoteCode(std::int32_t code) { return code >= 0 && code <= 13; }

}  // namespace kelvane
