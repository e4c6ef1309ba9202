// Building blocks of the table-set files: the row forms of the character
// tables and the sets that tables.cpp hands out. Only the tables_*.cpp files
// include this.
#pragma once

#include "keydata/tables.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace ptu {

// A character typed by one key: its make code.
constexpr CharRow mk(uint8_t ch, uint8_t code) { return {{code}, ch}; }

// A character typed with left Shift: 2A, the key's make code, F0, 2A.
constexpr CharRow sh(uint8_t ch, uint8_t code) { return {{0x2A, code, 0xF0, 0x2A}, ch}; }

// A character typed with AltGr: E0 38, the key's make code, E0 F0 38.
constexpr CharRow ag(uint8_t ch, uint8_t code) { return {{0xE0, 0x38, code, 0xE0, 0xF0, 0x38}, ch}; }

// A character typed by the given code sequence (dead keys and the rows that
// fit no other form).
template <typename... Bytes>
constexpr CharRow sq(uint8_t ch, Bytes... bytes)
{
    static_assert(sizeof...(Bytes) >= 1 && sizeof...(Bytes) <= 8);
    return {{static_cast<uint8_t>(bytes)...}, ch};
}

using DefaultList = std::array<DefaultCode, kDefaultCodes>;

extern const DefaultList usDefaults, ukDefaults, esDefaults, ptDefaults,
    noDefaults, itDefaults, deDefaults, frDefaults;

extern const TableSet usTables, ukTables, esTables, ptTables, noTables,
    itTables, deTables, frTables;

}  // namespace ptu
