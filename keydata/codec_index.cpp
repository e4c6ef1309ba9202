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

constexpr std::size_t kLongestName = 63;  // a token text is at most 63 characters

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = upperAscii(c);
    return out;
}

void build(CodecIndex& ix, const TableSet& set)
{
    ix.set = &set;
    ix.charRow.fill(-1);
    ix.charLen.resize(set.nok2.size());
    for (std::size_t r = 0; r < set.nok2.size(); ++r) {
        const CharRow& row = set.nok2[r];
        if (ix.charRow[row.ch] < 0) ix.charRow[row.ch] = int16_t(r);
        ix.charLen[r] = uint8_t(codeLength(row.code));
        if (ix.charLen[r] > 0) ix.charsByFirst[row.code[0]].push_back(uint16_t(r));
    }
    ix.nameLen.resize(set.nok1.size());
    ix.nameToken.resize(set.nok1.size());
    for (std::size_t r = 0; r < set.nok1.size(); ++r) {
        const KeyNameRow& row = set.nok1[r];
        std::string up = upper(row.name);
        ix.nameRow.emplace(up, int(r));  // keeps the first row of a name
        ix.nameLen[r] = uint8_t(codeLength(row.code));
        ix.nameToken[r] = "{" + up + "}";
        if (ix.nameLen[r] > 0) ix.namesByFirst[row.code[0]].push_back(uint16_t(r));
    }
}

}  // namespace

int CodecIndex::findName(std::string_view token) const
{
    if (token.empty() || token.size() > kLongestName) return -1;
    char buf[kLongestName];
    for (std::size_t i = 0; i < token.size(); ++i) buf[i] = upperAscii(token[i]);
    auto it = nameRow.find(std::string(buf, token.size()));
    return it == nameRow.end() ? -1 : it->second;
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
