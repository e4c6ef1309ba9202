// Lookup indexes over one table set, built once per set, so that encoding a
// character or a token and decoding a code sequence do not walk the tables
// row by row. Every index keeps the tables' rule: the first matching row wins.
#pragma once

#include "keydata/tables.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ptu {

struct CodecIndex {
    const TableSet* set = nullptr;

    // Encoder: the first character-table row of each character, -1 for none.
    std::array<int16_t, 256> charRow{};
    // The same as stored bytes: the row's code, or the character itself when
    // no row has it, packed little-endian into a word, and its length.
    std::array<uint64_t, 256> charCode{};
    std::array<uint8_t, 256> charCodeLen{};
    // Decoder shortcuts: the character, or else the key-name row, that a
    // byte reads as when no longer code starting with it can come first
    // (-1 when the code trie must be walked).
    std::array<int16_t, 256> quickChar{};
    std::array<int16_t, 256> quickName{};
    std::vector<uint8_t> charLen;        // code length of each character row
    std::vector<uint8_t> nameLen;        // code length of each key-name row
    std::vector<std::string> nameToken;  // "{NAME}" of each key-name row

    // The key-name row whose name equals `token` without regard to case, or -1.
    int findName(std::string_view token) const;

    // Decoder: the first character row, and the first key-name row, whose
    // whole code stands at the start of `bytes` (-1 when none).
    struct Match {
        int charRow = -1;
        int nameRow = -1;
    };
    Match match(std::string_view bytes) const;

    // Name hash: open addressing over the upper-case names packed into two
    // words, first row kept. Longer names are not looked up (the tables'
    // longest has 10 characters).
    static constexpr std::size_t kMaxNameChars = 16;
    struct NameKey {
        uint64_t lo = 0, hi = 0;
        std::size_t len = 0;
        bool operator==(const NameKey&) const = default;
    };
    std::vector<int16_t> nameSlots;
    std::vector<NameKey> nameKeys;  // per key-name row
    int findName(const NameKey& key) const;

    // Code trie: node 0 is the root; a node is the code read so far and
    // knows the first character row and key-name row whose code ends there.
    struct Node {
        int16_t charRow = -1;
        int16_t nameRow = -1;
        int16_t charBelow = -1;  // first character row of a longer code
        int16_t nameBelow = -1;  // first key-name row of a longer code
        uint16_t kidFirst = 0;   // children in `kids`, or in denseKids[dense]
        uint16_t kidCount = 0;
        int32_t dense = -1;
    };
    struct Kid {
        uint8_t byte;
        uint16_t node;
    };
    std::vector<Node> nodes;
    std::vector<Kid> kids;
    std::vector<std::array<uint16_t, 256>> denseKids;  // 0 = no child
};

// The index of table set `id` (built on first use, then shared read-only).
const CodecIndex& codecIndex(TableSetId id);

// The length of a 0-terminated code of at most 8 bytes.
int codeLength(const Code8& code);

// ASCII upper case; other bytes stay as they are.
inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

}  // namespace ptu
