// Lookup indexes over one table set, built once per set, so that encoding a
// character or a token and decoding a code sequence do not walk the tables
// row by row. Every index keeps the tables' rule: the first matching row wins.
#pragma once

#include "keydata/tables.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ptu {

struct CodecIndex {
    const TableSet* set = nullptr;

    // Encoder: the first character-table row of each character, -1 for none.
    std::array<int16_t, 256> charRow{};
    // Encoder and normalisation: upper-case name -> first key-name row.
    std::unordered_map<std::string, int> nameRow;

    // Decoder: for each first code byte, the rows starting with it, in table
    // order (rows whose code is empty are left out: they would match anything).
    std::array<std::vector<uint16_t>, 256> charsByFirst;
    std::array<std::vector<uint16_t>, 256> namesByFirst;
    std::vector<uint8_t> charLen;        // code length of each character row
    std::vector<uint8_t> nameLen;        // code length of each key-name row
    std::vector<std::string> nameToken;  // "{NAME}" of each key-name row

    // The key-name row whose name equals `token` without regard to case, or -1.
    // Tokens longer than the longest name are never looked up.
    int findName(std::string_view token) const;
};

// The index of table set `id` (built on first use, then shared read-only).
const CodecIndex& codecIndex(TableSetId id);

// The length of a 0-terminated code of at most 8 bytes.
int codeLength(const Code8& code);

// ASCII upper case; other bytes stay as they are.
inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

}  // namespace ptu
