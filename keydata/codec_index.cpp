#include "keydata/codec_index.h"

#include <mutex>

namespace ptu {

int codeLength(const Code8& code)
{
    int n = 0;
    while (n < int(code.size()) && code[n] != 0) ++n;
    return n;
}

namespace {

constexpr std::size_t kDenseFrom = 12;    // children from which a node gets a full table

// The upper-case name packed into two words; false when it is too long.
bool pack(std::string_view s, CodecIndex::NameKey& k)
{
    if (s.empty() || s.size() > CodecIndex::kMaxNameChars) return false;
    k.lo = k.hi = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const uint64_t up = uint8_t(upperAscii(s[i]));
        if (i < 8) k.lo |= up << (8 * i);
        else k.hi |= up << (8 * (i - 8));
    }
    k.len = s.size();
    return true;
}

std::size_t slotOf(const CodecIndex::NameKey& k, std::size_t mask)
{
    const uint64_t h = (k.lo * 0x9E3779B97F4A7C15ull) ^ (k.hi * 0xC2B2AE3D27D4EB4Full);
    return std::size_t(h >> 40) & mask;
}

uint16_t child(const CodecIndex& ix, const CodecIndex::Node& n, uint8_t b)
{
    if (n.dense >= 0) return ix.denseKids[std::size_t(n.dense)][b];
    const CodecIndex::Kid* k = ix.kids.data() + n.kidFirst;
    for (const CodecIndex::Kid* e = k + n.kidCount; k != e; ++k)
        if (k->byte == b) return k->node;
    return 0;
}

// The code trie while it is built: children in lists of their own.
struct Builder {
    CodecIndex& ix;
    std::vector<std::vector<CodecIndex::Kid>> kids = std::vector<std::vector<CodecIndex::Kid>>(1);

    // The node for `code`, made as needed.
    std::size_t insert(const Code8& code, int len)
    {
        std::size_t n = 0;
        for (int i = 0; i < len; ++i) {
            uint16_t next = 0;
            for (const auto& k : kids[n])
                if (k.byte == code[std::size_t(i)]) next = k.node;
            if (next == 0) {
                next = uint16_t(ix.nodes.size());
                ix.nodes.emplace_back();
                kids.emplace_back();
                kids[n].push_back({code[std::size_t(i)], next});
            }
            n = next;
        }
        return n;
    }
};

void build(CodecIndex& ix, const TableSet& set)
{
    ix.set = &set;
    ix.nodes.emplace_back();  // the root
    Builder tb{ix};
    ix.charRow.fill(-1);
    ix.charLen.resize(set.nok2.size());
    for (std::size_t r = 0; r < set.nok2.size(); ++r) {
        const CharRow& row = set.nok2[r];
        if (ix.charRow[row.ch] < 0) ix.charRow[row.ch] = int16_t(r);
        ix.charLen[r] = uint8_t(codeLength(row.code));
        if (ix.charLen[r] == 0) continue;  // an empty code would match anywhere
        CodecIndex::Node& n = ix.nodes[tb.insert(row.code, ix.charLen[r])];
        if (n.charRow < 0) n.charRow = int16_t(r);
    }

    for (int c = 0; c < 256; ++c) {
        const int r = ix.charRow[std::size_t(c)];
        if (r < 0) {
            ix.charCode[std::size_t(c)] = uint64_t(c);
            ix.charCodeLen[std::size_t(c)] = 1;
            continue;
        }
        const Code8& code = set.nok2[std::size_t(r)].code;
        uint64_t w = 0;
        for (int i = 0; i < ix.charLen[std::size_t(r)]; ++i) w |= uint64_t(code[std::size_t(i)]) << (8 * i);
        ix.charCode[std::size_t(c)] = w;
        ix.charCodeLen[std::size_t(c)] = ix.charLen[std::size_t(r)];
    }

    ix.nameLen.resize(set.nok1.size());
    ix.nameToken.resize(set.nok1.size());
    ix.nameKeys.resize(set.nok1.size());
    std::size_t slots = 16;
    while (slots < 4 * set.nok1.size()) slots *= 2;
    ix.nameSlots.assign(slots, -1);
    for (std::size_t r = 0; r < set.nok1.size(); ++r) {
        const KeyNameRow& row = set.nok1[r];
        std::string up(row.name);
        for (char& c : up) c = upperAscii(c);
        ix.nameToken[r] = "{" + up + "}";
        if (pack(up, ix.nameKeys[r]) && ix.findName(up) < 0) {  // keeps the first row of a name
            std::size_t i = slotOf(ix.nameKeys[r], slots - 1);
            while (ix.nameSlots[i] >= 0) i = (i + 1) & (slots - 1);
            ix.nameSlots[i] = int16_t(r);
        }
        ix.nameLen[r] = uint8_t(codeLength(row.code));
        if (ix.nameLen[r] == 0) continue;
        CodecIndex::Node& n = ix.nodes[tb.insert(row.code, ix.nameLen[r])];
        if (n.nameRow < 0) n.nameRow = int16_t(r);
    }

    // Children are made after their parents: from the last node back, each
    // node learns the first rows found below it.
    for (std::size_t i = ix.nodes.size(); i-- > 0;) {
        CodecIndex::Node& n = ix.nodes[i];
        for (const auto& [byte, kid] : tb.kids[i]) {
            const CodecIndex::Node& k = ix.nodes[kid];
            for (int16_t r : {k.charRow, k.charBelow})
                if (r >= 0 && (n.charBelow < 0 || r < n.charBelow)) n.charBelow = r;
            for (int16_t r : {k.nameRow, k.nameBelow})
                if (r >= 0 && (n.nameBelow < 0 || r < n.nameBelow)) n.nameBelow = r;
        }
    }
    ix.quickChar.fill(-1);
    ix.quickName.fill(-1);
    for (const auto& [byte, kid] : tb.kids[0]) {
        const CodecIndex::Node& k = ix.nodes[kid];
        if (k.charRow >= 0 && (k.charBelow < 0 || k.charBelow > k.charRow))
            ix.quickChar[byte] = set.nok2[std::size_t(k.charRow)].ch;
        if (k.charRow < 0 && k.charBelow < 0 && k.nameRow >= 0 && (k.nameBelow < 0 || k.nameBelow > k.nameRow))
            ix.quickName[byte] = k.nameRow;
    }
    // Nodes with many children get a full table, the others a short list.
    for (std::size_t i = 0; i < ix.nodes.size(); ++i) {
        CodecIndex::Node& n = ix.nodes[i];
        const auto& list = tb.kids[i];
        if (list.size() >= kDenseFrom) {
            n.dense = int32_t(ix.denseKids.size());
            auto& table = ix.denseKids.emplace_back();
            table.fill(0);
            for (const auto& [byte, node] : list) table[byte] = node;
        } else {
            n.kidFirst = uint16_t(ix.kids.size());
            n.kidCount = uint16_t(list.size());
            ix.kids.insert(ix.kids.end(), list.begin(), list.end());
        }
    }
}

}  // namespace

int CodecIndex::findName(std::string_view token) const
{
    NameKey k;
    return pack(token, k) ? findName(k) : -1;
}

int CodecIndex::findName(const NameKey& k) const
{
    if (nameSlots.empty()) return -1;
    const std::size_t mask = nameSlots.size() - 1;
    for (std::size_t i = slotOf(k, mask); nameSlots[i] >= 0; i = (i + 1) & mask)
        if (nameKeys[std::size_t(nameSlots[i])] == k) return nameSlots[i];
    return -1;
}

CodecIndex::Match CodecIndex::match(std::string_view bytes) const
{
    Match m;
    std::size_t n = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 8; ++i) {
        n = child(*this, nodes[n], uint8_t(bytes[i]));
        if (n == 0) break;
        const Node& node = nodes[n];
        if (node.charRow >= 0 && (m.charRow < 0 || node.charRow < m.charRow)) m.charRow = node.charRow;
        if (node.nameRow >= 0 && (m.nameRow < 0 || node.nameRow < m.nameRow)) m.nameRow = node.nameRow;
        // A character wins over any name: once one is found, only an earlier
        // character row further down can change the answer.
        if (m.charRow >= 0 && (node.charBelow < 0 || node.charBelow > m.charRow)) break;
    }
    return m;
}

const CodecIndex& codecIndex(TableSetId id)
{
    static std::array<CodecIndex, 8> indexes;
    static std::array<std::once_flag, 8> once;
    const auto i = static_cast<std::size_t>(id) & 7;
    std::call_once(once[i], [&] { build(indexes[i], tableSet(id)); });
    return indexes[i];
}

}  // namespace ptu
