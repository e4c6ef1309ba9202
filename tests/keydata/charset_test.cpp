#include "keydata/charset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace ptu {
namespace {

// What the keys of each national keyboard type, for every byte of its
// character table outside printable ASCII, in table order: read off the
// national layouts, not off a code page.
constexpr struct {
    TableSetId set;
    const char* typed;  // UTF-8
} kNational[] = {
    {TableSetId::us, ""},
    {TableSetId::uk, "¬£"},
    {TableSetId::es, "º¡çñª·¿ÑÇ¬"},
    {TableSetId::pt, "«çºáéíóúý´ãõñ»Çªàèìòùâêîôû£§"},
    {TableSetId::no, "åäëïöüøæ§¤ØÆàèìòùâêîôû£"},
    {TableSetId::it, "ìèòàù£éç°§"},
    {TableSetId::de, "ß´üöä°§ÜÖÄ²³€µ"},
    {TableSetId::fr, "²éèçàù°¨£µ§âêîôûäëïöüÿ"},
};

TEST(Charset, EveryByteStandsForWhatItsKeyTypesAndBack)
{
    for (const auto& n : kNational) {
        SCOPED_TRACE(keyboardName(n.set));
        std::string bytes;
        for (const CharRow& r : tableSet(n.set).nok2)
            if ((r.ch < 0x20 || r.ch >= 0x7F) && bytes.find(char(r.ch)) == std::string::npos) bytes += char(r.ch);
        EXPECT_EQ(screenText(n.set, bytes), n.typed);
        // Every byte 1..255 stands for a character of its own, and back.
        std::set<char32_t> seen;
        std::string all;
        for (int b = 1; b < 256; ++b) {
            EXPECT_TRUE(seen.insert(screenChar(n.set, uint8_t(b))).second) << "byte " << b;
            all += char(b);
        }
        EXPECT_EQ(keyText(n.set, screenText(n.set, all)).bytes, all);
    }
    // A byte whose code page character a table row gives to another key
    // stands for the character it gave up.
    EXPECT_EQ(screenChar(TableSetId::es, 0x87), U'þ');
    EXPECT_EQ(screenChar(TableSetId::fr, 0xF5), char32_t(0x15));
}

TEST(Charset, CharactersWithoutAByteAreRefusedAndNamed)
{
    const KeyText k = keyText(TableSetId::de, std::string("Grüße ł ą ł €"));
    EXPECT_EQ(k.bytes, "Gr\xFC\xDF" "e    \x80");
    EXPECT_EQ(k.refused, U"łą");  // each refused character named once
    EXPECT_EQ(refusedMessage(TableSetId::de, U"ł"), "ł is not on the German keyboard: not stored");
    EXPECT_EQ(refusedMessage(TableSetId::no, U"€ł"), "€ and ł are not on the Norwegian keyboard: not stored");
    // Malformed UTF-8 is refused, one replacement character per bad byte.
    EXPECT_EQ(keyText(TableSetId::us, std::string("a\xC3(b\xE2\x82", 6)).bytes, "a(b");
    EXPECT_EQ(codePoints("\xF0\x9F\x98\x80\xC0\xAF"), U"\U0001F600\uFFFD\uFFFD");
    EXPECT_EQ(utf8(U"\U0001F600ä"), "\xF0\x9F\x98\x80\xC3\xA4");
}

}  // namespace
}  // namespace ptu
