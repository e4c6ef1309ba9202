#include "keydata/charset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace ptu {
namespace {

constexpr TableSetId kAll[] = {TableSetId::us, TableSetId::uk, TableSetId::es, TableSetId::pt,
                               TableSetId::no, TableSetId::it, TableSetId::de, TableSetId::fr};

// What the keys of each national keyboard type, for every byte of its
// character table outside printable ASCII, in table order: read off the
// national layouts, not off a code page.
struct NationalChars {
    TableSetId set;
    const char* typed;  // UTF-8
};
constexpr NationalChars kNational[] = {
    {TableSetId::us, ""},
    {TableSetId::uk, "¬£"},
    {TableSetId::es, "º¡çñª·¿ÑÇ¬"},
    {TableSetId::pt, "«çºáéíóúý´ãõñ»Çªàèìòùâêîôû£§"},
    {TableSetId::no, "åäëïöüøæ§¤ØÆàèìòùâêîôû£"},
    {TableSetId::it, "ìèòàù£éç°§"},
    {TableSetId::de, "ß´üöä°§ÜÖÄ²³€µ"},
    {TableSetId::fr, "²éèçàù°¨£µ§âêîôûäëïöüÿ"},
};

std::vector<uint8_t> nationalBytes(TableSetId id)
{
    std::vector<uint8_t> out;
    for (const CharRow& r : tableSet(id).nok2)
        if ((r.ch < 0x20 || r.ch >= 0x7F) && std::find(out.begin(), out.end(), r.ch) == out.end()) out.push_back(r.ch);
    return out;
}

TEST(Charset, EveryTableByteShowsWhatItsKeyTypes)
{
    for (const NationalChars& n : kNational) {
        SCOPED_TRACE(keyboardName(n.set));
        const std::u32string want = codePoints(n.typed);
        const std::vector<uint8_t> bytes = nationalBytes(n.set);
        ASSERT_EQ(bytes.size(), want.size());
        for (size_t i = 0; i < bytes.size(); ++i) {
            EXPECT_EQ(screenChar(n.set, bytes[i]), want[i]) << "byte " << int(bytes[i]);
            EXPECT_EQ(keyByte(n.set, want[i]), bytes[i]);
        }
        // Printable ASCII stands for itself in every set.
        for (int b = 0x20; b < 0x7F; ++b) EXPECT_EQ(screenChar(n.set, uint8_t(b)), char32_t(b));
    }
}

TEST(Charset, EveryByteStandsForOneCharacterAndBack)
{
    for (TableSetId id : kAll) {
        SCOPED_TRACE(keyboardName(id));
        std::set<char32_t> seen;
        std::string all;
        for (int b = 1; b < 256; ++b) {
            const char32_t c = screenChar(id, uint8_t(b));
            EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its character";
            EXPECT_EQ(keyByte(id, c), uint8_t(b));
            all += char(b);
        }
        const KeyText back = keyText(id, screenText(id, all));
        EXPECT_EQ(back.bytes, all);
        EXPECT_TRUE(back.refused.empty());
    }
    // The bytes whose code page character a table row takes for another key
    // stand for the character they gave up.
    EXPECT_EQ(screenChar(TableSetId::es, 0x87), U'þ');
    EXPECT_EQ(screenChar(TableSetId::fr, 0xF5), char32_t(0x15));
    EXPECT_EQ(screenChar(TableSetId::uk, 0x15), char32_t(0x15));
}

TEST(Charset, CharactersWithoutAByteAreRefusedAndNamed)
{
    const KeyText k = keyText(TableSetId::de, std::string("Grüße ł ą ł €"));
    EXPECT_EQ(k.bytes, "Gr\xFC\xDF" "e    \x80");
    EXPECT_EQ(k.refused, U"łą");  // each refused character named once
    EXPECT_EQ(refusedMessage(TableSetId::de, U"ł"), "ł is not on the German keyboard: not stored");
    EXPECT_EQ(refusedMessage(TableSetId::no, U"€ł"), "€ and ł are not on the Norwegian keyboard: not stored");
    // Malformed UTF-8 is refused as one replacement character per bad byte.
    const KeyText bad = keyText(TableSetId::us, std::string("a\xC3(b\xE2\x82", 6));
    EXPECT_EQ(bad.bytes, "a(b");
    EXPECT_EQ(bad.refused, U"\uFFFD");
    EXPECT_EQ(codePoints("\xF0\x9F\x98\x80\xC0\xAF"), U"\U0001F600\uFFFD\uFFFD");
    EXPECT_EQ(utf8(U"\U0001F600ä"), "\xF0\x9F\x98\x80\xC3\xA4");
}

}  // namespace
}  // namespace ptu
