// The locale key tables: for each of the eight table sets a key-name table,
// a character table and a default code list. Every lookup takes the first
// matching row, so the row order is part of the data.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace ptu {

// A code sequence of up to 8 bytes, ended by a 0 byte when shorter.
using Code8 = std::array<uint8_t, 8>;

struct KeyNameRow {
    const char* name;  // matched without regard to letter case
    Code8 code;
};

struct CharRow {
    Code8 code;
    uint8_t ch;  // the character byte
};

using DefaultCode = std::array<uint8_t, 7>;  // 0-padded code sequence

enum class TableSetId { us, uk, es, pt, no, it, de, fr };

struct TableSet {
    TableSetId id;
    const char* tag;  // "us", "uk", "es", "pt", "no", "it", "de", "fr"
    std::span<const KeyNameRow> nok1;  // key-name table
    std::span<const CharRow> nok2;     // character table
    std::span<const DefaultCode> dflt; // default code list, 112 entries
};

// The table set of `id`; the sets are constant for the whole run.
const TableSet& tableSet(TableSetId id);

}  // namespace ptu
