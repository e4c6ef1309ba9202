// The locale key tables: for each of the eight table sets a key-name table,
// a character table and a default code list. Every lookup takes the first
// matching row, so the row order is part of the data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ptu {

class Log;

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
constexpr std::size_t kDefaultCodes = 112;    // entries of every default code list

enum class TableSetId { us, uk, es, pt, no, it, de, fr };

struct TableSet {
    TableSetId id;
    const char* tag;  // "us", "uk", "es", "pt", "no", "it", "de", "fr"
    std::span<const KeyNameRow> nok1;  // key-name table
    std::span<const CharRow> nok2;     // character table
    std::span<const DefaultCode> dflt; // default code list, 112 entries
    // Whether the special-key menu offers "Ro", "Muhenkan", "Henkan",
    // "Hiragana" and "wince F7" (only with the US set).
    bool menuJapaneseKeys;
};

// The table set of `id`; the sets are constant for the whole run.
const TableSet& tableSet(TableSetId id);

// The set whose tag is `tag` ("us", "uk", ...), if any.
std::optional<TableSetId> tableSetByTag(std::string_view tag);

// The language identifier that chooses the set: US English (0x0409) when the
// system locale, the system language and the user language are all 0x0404,
// all 0x0804 or all 0x1004; otherwise the user language.
uint16_t chosenLanguageId(uint32_t lcid, uint16_t lgid, uint16_t ulgid);

// The set for a language identifier: 0x0809 is UK English; otherwise the
// primary language (the low byte) decides, and languages without a set of
// their own get the US set.
TableSetId tableSetForLanguage(uint16_t langid);

// chosenLanguageId, then tableSetForLanguage.
TableSetId chooseTableSet(uint32_t lcid, uint16_t lgid, uint16_t ulgid);

// The same, logging the three identifiers before the choice and again after
// it (with the chosen identifier in the user language's place).
TableSetId chooseTableSet(Log& log, uint32_t lcid, uint16_t lgid, uint16_t ulgid);

}  // namespace ptu
