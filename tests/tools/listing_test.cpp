// The ptu-tpl listing: text escapes, header and key lines, and the line-
// numbered errors of malformed listings.
#include "tools/tpl/listing.h"

#include <gtest/gtest.h>

#include <random>

namespace ptu::tpl {
namespace {

TEST(ListingText, EveryByteSurvivesTheEscapes)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    const std::string escaped = escapeText(all);
    for (unsigned char c : escaped) EXPECT_TRUE(c >= 0x20 && c <= 0x7E);
    std::string back, why;
    ASSERT_TRUE(unescapeText(escaped, back, why)) << why;
    EXPECT_EQ(back, all);

    EXPECT_EQ(escapeText("a\\{ESC}"), "a\\\\{ESC}");
    EXPECT_EQ(escapeText(" a b "), "\\x20a b\\x20");  // blanks at the ends stay visible
    EXPECT_EQ(escapeText("\xE9t\xE9"), "\\xE9t\\xE9");
    ASSERT_TRUE(unescapeText("\\t\\n\\101\\x41\\\"", back, why));
    EXPECT_EQ(back, "\t\nAA\"");
    for (const char* broken : {"ab\\", "\\q", "\\x4", "\\xZZ", "\\777"})
        EXPECT_FALSE(unescapeText(broken, back, why)) << broken;
}

TEST(ListingParse, HeaderAndKeys)
{
    const char* text =
        "# a comment\r\n"
        "model 0x0D\n"
        "memory 8192\n"
        "  locale de\n"
        "usb 1\n"
        "ldt 16\n"
        "r27 4\n"
        "r28 0xE8\n"
        "r29 0x9e\n"
        "r2a 105\n"
        "magcfg C6 08 25 3b 0x3B 3F 01\n"
        "\n"
        "key 0 15 0 aB{ENTER}\n"
        "key 5\t21 15 \\x20two  blanks \n"
        "key 1 2 3\n";
    Listing l;
    ParseError e;
    ASSERT_TRUE(parseListing(text, l, e)) << e.line << ": " << e.message;
    EXPECT_EQ(l.header.model, 13);
    EXPECT_EQ(l.header.memory, 8192);
    EXPECT_EQ(l.header.locale, TableSetId::de);
    EXPECT_EQ(l.header.usb, 1);
    EXPECT_EQ(l.header.r29, 0x9E);
    EXPECT_EQ(l.header.r2a, 105);
    EXPECT_EQ((*l.header.magcfg)[4], 0x3B);
    ASSERT_EQ(l.keys.size(), 3u);
    EXPECT_EQ(l.keys[0].text, "aB{ENTER}");
    EXPECT_EQ(l.keys[0].line, 13);
    EXPECT_EQ(l.keys[1].page, 5);
    EXPECT_EQ(l.keys[1].col, 21);
    EXPECT_EQ(l.keys[1].text, " two  blanks ");
    EXPECT_EQ(l.keys[2].text, "");
}

TEST(ListingParse, MalformedLinesAreNamedByNumber)
{
    struct Case { const char* text; int line; const char* says; };
    const Case cases[] = {
        {"model 4\nmodle 5\n", 2, "unknown item"},
        {"model 18\n", 1, "model must be"},
        {"model four\n", 1, "model must be"},
        {"model 4\nmodel 4\n", 2, "twice"},
        {"memory 1000\n", 1, "2048, 4096 or 8192"},
        {"locale xx\n", 1, "locale must be"},
        {"usb 1 2\n", 1, "one number"},
        {"magcfg C6 08 25\n", 1, "7 bytes"},
        {"magcfg C6 08 25 3B 3B 3F 01 02\n", 1, "7 bytes"},
        {"magcfg C6 08 25 3B 3B 3F 100\n", 1, "7 bytes"},
        {"\n\nkey 6 0 0 x\n", 3, "page index"},
        {"key 0 22 0 x\n", 1, "column"},
        {"key 0 0 16 x\n", 1, "row"},
        {"key 0 0\n", 1, "missing row"},
        {"key 0 0 0x\n", 1, "row"},
        {"key 0 1 1 a\nkey 0 1 0x1 b\n", 2, "twice"},
        {"key 0 1 1 ends in \\\n", 1, "backslash"},
        {"r27 -1\n", 1, "r27 must be"},
        {"ldt 256\n", 1, "ldt must be"},
    };
    for (const Case& c : cases) {
        Listing l;
        ParseError e;
        EXPECT_FALSE(parseListing(c.text, l, e)) << c.text;
        EXPECT_EQ(e.line, c.line) << c.text;
        EXPECT_NE(e.message.find(c.says), std::string::npos) << c.text << " -> " << e.message;
    }
}

TEST(ListingParse, GarbageNeverBreaksTheReader)
{
    std::mt19937 rng(7);
    const std::string words[] = {"key", "model", "memory", "magcfg", "locale", "0", "0x", "5",
                                 "99999999999", "-", "\\", "\\x", "#", " ", "\t", "\n", "\r", "de"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int n = std::uniform_int_distribution<int>(0, 30)(rng);
        for (int i = 0; i < n; ++i) {
            if (rng() % 4 == 0) text += char(rng() % 256);
            else text += words[rng() % std::size(words)] + (rng() % 2 ? " " : "");
        }
        Listing l;
        ParseError e;
        if (!parseListing(text, l, e)) {
            EXPECT_GT(e.line, 0);
        }
    }
}

}  // namespace
}  // namespace ptu::tpl
