// One macro text at a time: the normalisation, ttos and stot, with the US set
// and the locales whose tables differ.
#include "codec_support.h"
#include "keydata/syntax.h"

#include <gtest/gtest.h>

namespace ptu::test {
namespace {

std::string enc(TableSetId ts, const std::string& text, bool raw = false)
{
    auto s = makeState(4, 8192, 6, ts);
    s->fl.raw_f = raw;
    return ttos(*s, text);
}

std::string dec(TableSetId ts, const std::string& stored)
{
    auto s = makeState(4, 8192, 6, ts);
    return stot(*s, stored);
}

std::string norm(TableSetId ts, const std::string& text)
{
    auto s = makeState(4, 8192, 6, ts);
    return syntex(*s, text);
}

constexpr auto US = TableSetId::us;

TEST(Syntex, NamesBecomeUpperCaseTokensEverythingElseStays)
{
    EXPECT_EQ(norm(US, "{ enter }abc"), "{ENTER}abc");
    EXPECT_EQ(norm(US, "{Delay1}"), "{DELAY1}");
    EXPECT_EQ(norm(US, "{lsft}x{LSft}y{LSFT}"), "{LSFT}x{LSFT}y{LSFT}");
    EXPECT_EQ(norm(US, "{foo}"), "{foo}");
    EXPECT_EQ(norm(US, "{27}"), "{27}");
    EXPECT_EQ(norm(US, "\\{ESC}"), "\\{ESC}");
    EXPECT_EQ(norm(US, "{ESC"), "{ESC");              // no closing brace
    EXPECT_EQ(norm(US, "{{esc}"), "{{ESC}");          // the first brace is not a token
    EXPECT_EQ(norm(US, "{es\\}c}"), "{es\\}c}");      // an escaped brace does not close
    EXPECT_EQ(norm(TableSetId::uk, "{F13}"), "{F13}");  // not a UK name
    EXPECT_EQ(norm(TableSetId::de, "{druck}"), "{DRUCK}");
}

TEST(Syntex, EveryNameOfEverySetIsAToken)
{
    for (TableSetId ts : {TableSetId::us, TableSetId::uk, TableSetId::es, TableSetId::pt, TableSetId::no,
                          TableSetId::it, TableSetId::de, TableSetId::fr}) {
        for (const KeyNameRow& row : tableSet(ts).nok1) {
            std::string lower(row.name), upper(row.name);
            for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
            for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_EQ(norm(ts, "{" + lower + "}"), "{" + upper + "}") << tableSet(ts).tag;
        }
    }
}

TEST(Syntex, KeepsTheFirst255CharactersAndCompletesAStartedToken)
{
    EXPECT_EQ(norm(US, std::string(300, 'a')), std::string(255, 'a'));
    const std::string text = std::string(250, 'a') + "{ backspace }" + "tail";
    EXPECT_EQ(norm(US, text), std::string(250, 'a') + "{BACKSPACE}");
    // A very long brace group is no token and passes character by character.
    const std::string group = "{" + std::string(120, 'x') + "}";
    EXPECT_EQ(norm(US, group), group);
}

TEST(Ttos, UsExamples)
{
    EXPECT_EQ(asInts(enc(US, "aB{ENTER}")), (std::vector<int>{0x1E, 0x2A, 0x30, 0xF0, 0x2A, 0x1C}));
    EXPECT_EQ(asInts(enc(US, "{LSFT}ab{LSFB}")), (std::vector<int>{0x2A, 0x1E, 0x30, 0xF0, 0x2A}));
    EXPECT_EQ(asInts(enc(US, "{Delay1}x")), (std::vector<int>{0xFD, 0x01, 0x2D}));
    EXPECT_EQ(asInts(enc(US, "{foo}")), (std::vector<int>{0x21, 0x18, 0x18, 0x7D}));
    EXPECT_EQ(asInts(enc(US, "{LDlm}")), (std::vector<int>{0x2A, 0x1A, 0xF0, 0x2A}));
    EXPECT_EQ(asInts(enc(US, "{PrnScr}")), (std::vector<int>{0xE0, 0x37}));  // the first row of a name
}

TEST(Ttos, TokensAndBraces)
{
    for (const char* t : {"{lsft}", "{LSft}", "{LSFT}"}) EXPECT_EQ(asInts(enc(US, t)), (std::vector<int>{0x2A}));
    EXPECT_EQ(asInts(enc(US, "{13}")), (std::vector<int>{0x0D}));
    EXPECT_EQ(asInts(enc(US, "{7x}")), (std::vector<int>{0x07}));
    EXPECT_EQ(asInts(enc(US, "{256}")), (std::vector<int>{0x00}));
    EXPECT_EQ(enc(US, "{}"), "");
    // A name with a 0 byte in it is no name.
    EXPECT_EQ(asInts(enc(US, std::string("{esc\0}", 6))), (std::vector<int>{0x12, 0x1F, 0x2E, 0x00, 0x7D}));
    EXPECT_EQ(asInts(enc(US, "{a")), (std::vector<int>{0x1E}));             // brace with no end: dropped
    EXPECT_EQ(asInts(enc(US, "{ enter }")), asInts(enc(US, " enter }")));  // not normalised: not a name
    // A token text of 64 characters is no token: the brace is dropped.
    const std::string longName = "{" + std::string(64, '1') + "}";
    EXPECT_EQ(enc(US, longName).size(), 64u + 1u);
    // A backslash has no meaning to the encoder.
    EXPECT_EQ(asInts(enc(US, "\\{ESC}")), (std::vector<int>{0x2B, 0x01}));
    // Characters without a row are stored as themselves; raw_f stores all so.
    EXPECT_EQ(asInts(enc(US, "\xE9")), (std::vector<int>{0xE9}));
    EXPECT_EQ(asInts(enc(US, "a{ESC}", true)), (std::vector<int>{'a', 0x01}));
}

TEST(Ttos, HugeDecimalTokenIsTakenModulo256)
{
    // 10^22 + 7 modulo 256: 10^22 = 2^22 * 5^22, so 10^22 mod 256 = 0.
    EXPECT_EQ(asInts(enc(US, "{10000000000000000000007}")), (std::vector<int>{0x07}));
}

TEST(Ttos, LocalesUseTheirOwnRows)
{
    using T = TableSetId;
    EXPECT_EQ(asInts(enc(T::de, "z")), (std::vector<int>{0x15}));
    EXPECT_EQ(asInts(enc(T::de, "y")), (std::vector<int>{0x2C}));
    EXPECT_EQ(asInts(enc(T::de, " ")), (std::vector<int>{0x39}));
    EXPECT_EQ(asInts(enc(T::fr, "a")), (std::vector<int>{0x10}));
    EXPECT_EQ(asInts(enc(T::it, "}")), (std::vector<int>{0x4F, 0x50, 0x4C}));
    EXPECT_EQ(asInts(enc(T::es, "]")), (std::vector<int>{0x1B}));
    EXPECT_EQ(asInts(enc(T::de, "{LDlm}")), (std::vector<int>{0xE0, 0x38, 0x08, 0xE0, 0xF0, 0x38}));
    // UK has no F13: the brace is dropped and F, 1, 3 and the closing brace typed.
    EXPECT_EQ(asInts(enc(T::uk, "{F13}")),
              (std::vector<int>{0x2A, 0x21, 0xF0, 0x2A, 0x02, 0x04, 0x7D}));
}

TEST(Stot, UsExamples)
{
    EXPECT_EQ(dec(US, bytes({0xFF, 0x2A, 0x1E, 0x30, 0xF0, 0x2A})), "{LSFT}ab{LSBRK}");
    EXPECT_EQ(dec(US, bytes({0xFF, 0x1E, 0x2A, 0x30, 0xF0, 0x2A, 0x1C})), "aB{ENTER}");
    EXPECT_EQ(dec(US, bytes({0xFF, 0xFD, 0x05})), "{DELAY5}");
    EXPECT_EQ(dec(US, bytes({0xFF, 0xFF})), "{MARK}");
    EXPECT_EQ(dec(US, bytes({0xFB, 0x1E})), "a");
    EXPECT_EQ(dec(US, bytes({0xFF, 0x83, 0xF0, 0x83})), "{F71}");
    EXPECT_EQ(dec(TableSetId::uk, bytes({0xFF, 0x83, 0xF0, 0x83})), "{131}{240}{131}");
    EXPECT_EQ(dec(US, bytes({0xFF, 0x2A, 0x1A, 0xF0, 0x2A})), "{LDLM}");
    EXPECT_EQ(dec(US, bytes({0xFF})), "");
    EXPECT_EQ(dec(US, ""), "");
    // Strings without the marker are shown byte for byte.
    EXPECT_EQ(dec(US, "7"), "7");
    EXPECT_EQ(dec(US, bytes({0x49, 0x1E})), bytes({0x49, 0x1E}));
}

TEST(Stot, LocalesReadTheFirstMatchingRow)
{
    using T = TableSetId;
    EXPECT_EQ(dec(T::es, bytes({0xFF, 0xE0, 0x38, 0x1B, 0xE0, 0xF0, 0x38})), "]");
    EXPECT_EQ(dec(T::es, bytes({0xFF, 0x4F, 0x50, 0x4C})), "}");  // the numeric-pad row
    EXPECT_EQ(dec(US, bytes({0xFF, 0x4F, 0x50, 0x4C})), "{N1}{N2}{N5}");
    EXPECT_EQ(dec(T::de, bytes({0xFF, 0x15, 0x2C, 0x39})), "zy ");
    EXPECT_EQ(dec(T::de, bytes({0xFF, 0xE0, 0x38, 0x08, 0xE0, 0xF0, 0x38})), "{LDLM}");
}

TEST(Stot, TextsAreNeverCut)
{
    EXPECT_EQ(dec(US, std::string(3000, 'x')).size(), 3000u);
    std::string stored(1, char(0xFF));
    stored += std::string(1500, char(0x83));
    EXPECT_EQ(dec(US, stored).size(), 7500u);  // 1500 tokens "{131}"

    // 300 {ENTER} and END round trip whole (the old decoder kept 292 {ENTER}).
    std::string text;
    for (int i = 0; i < 300; ++i) text += "{ENTER}";
    text += "END";
    auto s = makeState(4);
    EXPECT_EQ(stot(*s, "\xFF" + ttos(*s, text)), text);
}

}  // namespace
}  // namespace ptu::test
