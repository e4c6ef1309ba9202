#include "keydata/tables.h"
#include "platform/log.h"
#include "tests/support/memory_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ptu {
namespace {

constexpr TableSetId kAll[] = {TableSetId::us, TableSetId::uk, TableSetId::es, TableSetId::pt,
                               TableSetId::no, TableSetId::it, TableSetId::de, TableSetId::fr};

Code8 code(std::initializer_list<uint8_t> bytes)
{
    Code8 c{};
    std::copy(bytes.begin(), bytes.end(), c.begin());
    return c;
}

// First-match lookups, as the encoder and decoder make them.
std::optional<Code8> charCode(TableSetId id, uint8_t ch)
{
    for (const CharRow& r : tableSet(id).nok2)
        if (r.ch == ch) return r.code;
    return std::nullopt;
}

std::optional<uint8_t> charOf(TableSetId id, const Code8& c)
{
    for (const CharRow& r : tableSet(id).nok2)
        if (r.code == c) return r.ch;
    return std::nullopt;
}

std::optional<Code8> nameCode(TableSetId id, std::string name)
{
    auto upper = [](std::string s) {
        for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return s;
    };
    for (const KeyNameRow& r : tableSet(id).nok1)
        if (upper(r.name) == upper(name)) return r.code;
    return std::nullopt;
}

std::vector<uint8_t> charsWithCode(TableSetId id, const Code8& c)
{
    std::vector<uint8_t> out;
    for (const CharRow& r : tableSet(id).nok2)
        if (r.code == c) out.push_back(r.ch);
    return out;
}

TEST(TableSets, RowCountsTagsAndMenu)
{
    struct Expect { TableSetId id; const char* tag; size_t nok1, nok2; };
    // Portuguese, Italian, German and French end with the space row 20=39.
    const Expect expect[] = {
        {TableSetId::us, "us", 141, 93},  {TableSetId::uk, "uk", 122, 94},
        {TableSetId::es, "es", 132, 103}, {TableSetId::pt, "pt", 123, 124},
        {TableSetId::no, "no", 123, 116}, {TableSetId::it, "it", 125, 102},
        {TableSetId::de, "de", 132, 107}, {TableSetId::fr, "fr", 126, 118},
    };
    for (const Expect& e : expect) {
        const TableSet& s = tableSet(e.id);
        SCOPED_TRACE(e.tag);
        EXPECT_EQ(s.id, e.id);
        EXPECT_STREQ(s.tag, e.tag);
        EXPECT_EQ(s.nok1.size(), e.nok1);
        EXPECT_EQ(s.nok2.size(), e.nok2);
        EXPECT_EQ(s.dflt.size(), 112u);
        EXPECT_EQ(s.menuJapaneseKeys, e.id == TableSetId::us);
        EXPECT_EQ(tableSetByTag(e.tag), e.id);
    }
    EXPECT_EQ(tableSetByTag("xx"), std::nullopt);
    EXPECT_EQ(tableSetByTag(""), std::nullopt);
}

// Every code is a non-empty byte run followed only by zero bytes.
TEST(TableSets, CodesAreWellFormed)
{
    auto wellFormed = [](std::span<const uint8_t> c) {
        auto end = std::find(c.begin(), c.end(), 0);
        return end != c.begin() && std::all_of(end, c.end(), [](uint8_t b) { return b == 0; });
    };
    for (TableSetId id : kAll) {
        const TableSet& s = tableSet(id);
        SCOPED_TRACE(s.tag);
        for (const KeyNameRow& r : s.nok1) {
            EXPECT_TRUE(r.name && *r.name);
            EXPECT_TRUE(wellFormed(r.code)) << r.name;
        }
        for (const CharRow& r : s.nok2) {
            EXPECT_NE(r.ch, 0);
            EXPECT_TRUE(wellFormed(r.code)) << int(r.ch);
        }
        for (const DefaultCode& d : s.dflt) {
            EXPECT_TRUE(d[0] == 0 || wellFormed(d));
            EXPECT_TRUE(std::all_of(d.begin() + 2, d.end(), [](uint8_t b) { return b == 0; }));
        }
    }
}

// Only the US table names a key twice: the print-screen names, first with
// E0 37 and then with E0 2A E0 37; a lookup by name gets the first.
TEST(KeyNames, RepeatedNamesOnlyForPrintScreenInUs)
{
    for (TableSetId id : kAll) {
        std::map<std::string, int> seen;
        for (const KeyNameRow& r : tableSet(id).nok1) {
            std::string n = r.name;
            for (char& ch : n) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            ++seen[n];
        }
        std::vector<std::string> twice;
        for (auto& [n, k] : seen)
            if (k > 1) twice.push_back(n);
        if (id == TableSetId::us)
            EXPECT_EQ(twice, (std::vector<std::string>{"PRNSCR", "PRSCR", "PSCR"}));
        else
            EXPECT_TRUE(twice.empty()) << tableSet(id).tag;
    }
    EXPECT_EQ(nameCode(TableSetId::us, "PrScr"), code({0xE0, 0x37}));
    EXPECT_EQ(nameCode(TableSetId::uk, "PrScr"), code({0xE0, 0x2A, 0xE0, 0x37}));
    EXPECT_EQ(nameCode(TableSetId::de, "PrScr"), code({0xE0, 0x37}));
}

TEST(KeyNames, RowsNamedInTheDescription)
{
    EXPECT_EQ(nameCode(TableSetId::us, "F71"), code({0x83, 0xF0, 0x83}));
    EXPECT_EQ(nameCode(TableSetId::us, "f13"), code({0x64}));
    EXPECT_EQ(nameCode(TableSetId::us, "F19"), code({0x6A}));
    EXPECT_EQ(nameCode(TableSetId::us, "F10"), code({0x44}));
    EXPECT_EQ(nameCode(TableSetId::us, "lsft"), code({0x2A}));
    EXPECT_EQ(nameCode(TableSetId::us, "LSFB"), code({0xF0, 0x2A}));
    EXPECT_EQ(nameCode(TableSetId::us, "Pause"), code({0xE1, 0x1D, 0x45}));
    EXPECT_EQ(nameCode(TableSetId::us, "Delay10"), code({0xFD, 0x0A}));
    EXPECT_EQ(nameCode(TableSetId::us, "LDlm"), code({0x2A, 0x1A, 0xF0, 0x2A}));
    EXPECT_EQ(nameCode(TableSetId::de, "LDlm"), code({0xE0, 0x38, 0x08, 0xE0, 0xF0, 0x38}));
    EXPECT_EQ(nameCode(TableSetId::de, "RDlm"), code({0xE0, 0x38, 0x0B, 0xE0, 0xF0, 0x38}));
    for (TableSetId id : kAll) {
        if (id == TableSetId::us) continue;
        EXPECT_EQ(nameCode(id, "F71"), std::nullopt);
        EXPECT_EQ(nameCode(id, "F13"), std::nullopt);
        EXPECT_EQ(nameCode(id, "Ro"), std::nullopt);
        EXPECT_EQ(nameCode(id, "F12"), code({0x58}));
    }
    EXPECT_EQ(nameCode(TableSetId::es, "Span.4"), code({0x2A, 0x28, 0xF0, 0x2A}));
    EXPECT_EQ(nameCode(TableSetId::fr, "ech"), code({0x01}));
    EXPECT_EQ(nameCode(TableSetId::it, "Can"), code({0xE0, 0x53}));
    EXPECT_EQ(nameCode(TableSetId::de, "Druck"), code({0xE0, 0x37}));
    EXPECT_EQ(nameCode(TableSetId::de, "WakeUp"), code({0xE0, 0x63}));
}

// The other key-name tables, built from the US one by the changes that make
// each of them, must match the tables row for row.
std::vector<std::pair<std::string, Code8>> fromUs(TableSetId id)
{
    using Rows = std::vector<std::pair<std::string, Code8>>;
    Rows rows;
    for (const KeyNameRow& r : tableSet(TableSetId::us).nok1) rows.emplace_back(r.name, r.code);
    const Code8 prnScr2 = code({0xE0, 0x2A, 0xE0, 0x37});

    auto find = [&](const std::string& n, std::optional<Code8> c = {}) {
        return std::find_if(rows.begin(), rows.end(), [&](auto& r) {
            return r.first == n && (!c || r.second == *c);
        });
    };
    auto drop = [&](const std::string& n, std::optional<Code8> c = {}) {
        auto it = find(n, c);
        EXPECT_NE(it, rows.end()) << n;
        if (it != rows.end()) rows.erase(it);
    };
    auto before = [&](const std::string& n, const std::string& add, Code8 c) {
        rows.insert(find(n), {add, c});
    };
    auto move = [&](const std::string& n, const std::string& to, int offset) {
        auto row = *find(n);
        rows.erase(find(n));
        rows.insert(find(to) + offset, row);
    };

    for (const char* n : {"F71", "F13", "F14", "F15", "F16", "F17", "F18", "F19"}) drop(n);
    move("WIN", "LWIN", 1);
    if (id != TableSetId::de) {
        move("ALT", "LALT", 0);
        for (const char* n : {"PrnScr", "PrScr", "PScr"}) drop(n, code({0xE0, 0x37}));
        for (const char* n : {"Power", "Sleep", "WakeUp"}) drop(n);
        move("PrnScr", "PScr", 1);
    }
    if (id == TableSetId::uk || id == TableSetId::es) {
        for (const char* n : {"BackSlash", "Eur2", "Ro", "LSB", "RSB"}) drop(n);
    } else {
        for (const char* n : {"SC43", "BackSlash", "Eur2", "Ro"}) drop(n);
    }
    switch (id) {
    case TableSetId::es:
        rows.insert(rows.begin(), {{"Span.1", code({0x1A})}, {"Span.2", code({0x28})},
                                   {"Span.3", code({0x2A, 0x1A, 0xF0, 0x2A})},
                                   {"Span.4", code({0x2A, 0x28, 0xF0, 0x2A})}});
        before("CAP", "May", code({0x3A}));
        before("ScrLock", "Dsp", code({0x46}));
        before("PgUp", "PgR", code({0xE0, 0x49}));
        before("End", "Fin", code({0xE0, 0x4F}));
        before("PgDn", "PgA", code({0xE0, 0x51}));
        before("Del", "Sup", code({0xE0, 0x53}));
        move("LSFTB", "LSFB", 0);
        break;
    case TableSetId::it:
        before("End", "Fin", code({0xE0, 0x4F}));
        before("Del", "Can", code({0xE0, 0x53}));
        break;
    case TableSetId::fr:
        before("ESC", "Ech", code({0x01}));
        before("End", "Fin", code({0xE0, 0x4F}));
        before("Del", "Sup", code({0xE0, 0x53}));
        break;
    case TableSetId::de:
        find("LDlm")->second = code({0xE0, 0x38, 0x08, 0xE0, 0xF0, 0x38});
        find("RDlm")->second = code({0xE0, 0x38, 0x0B, 0xE0, 0xF0, 0x38});
        rows.insert(find("RDlm") + 1, {"Str", code({0x1D})});
        before("ScLock", "RoL", code({0x46}));
        before("Home", "Pos", code({0xE0, 0x47}));
        before("Ins", "Ein", code({0xE0, 0x52}));
        before("Del", "Enf", code({0xE0, 0x53}));
        before("PrnScr", "Druck", code({0xE0, 0x37}));
        for (const char* n : {"PrnScr", "PrScr", "PScr"}) drop(n, prnScr2);
        break;
    default:
        break;
    }
    return rows;
}

TEST(KeyNames, OtherTablesAreTheUsTableWithTheirChanges)
{
    for (TableSetId id : kAll) {
        if (id == TableSetId::us) continue;
        const TableSet& s = tableSet(id);
        SCOPED_TRACE(s.tag);
        const auto expected = fromUs(id);
        ASSERT_EQ(s.nok1.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(s.nok1[i].name, expected[i].first) << "row " << i;
            EXPECT_EQ(s.nok1[i].code, expected[i].second) << "row " << i << " " << s.nok1[i].name;
        }
    }
}

// The local alias comes first, so it is the name a code is written back as.
TEST(KeyNames, FirstRowWithACode)
{
    auto firstName = [](TableSetId id, const Code8& c) -> std::string {
        for (const KeyNameRow& r : tableSet(id).nok1)
            if (r.code == c) return r.name;
        return "";
    };
    EXPECT_EQ(firstName(TableSetId::us, code({0x1D})), "LCTL");
    EXPECT_EQ(firstName(TableSetId::de, code({0x1D})), "Str");
    EXPECT_EQ(firstName(TableSetId::de, code({0x46})), "RoL");
    EXPECT_EQ(firstName(TableSetId::us, code({0x38})), "LALT");
    EXPECT_EQ(firstName(TableSetId::uk, code({0x38})), "ALT");
    EXPECT_EQ(firstName(TableSetId::de, code({0x38})), "LALT");
    EXPECT_EQ(firstName(TableSetId::es, code({0xE0, 0x53})), "Sup");
    EXPECT_EQ(firstName(TableSetId::fr, code({0x01})), "Ech");
    EXPECT_EQ(firstName(TableSetId::es, code({0xF0, 0x2A})), "LSBrk");
    EXPECT_EQ(firstName(TableSetId::uk, code({0xE0, 0x2A, 0xE0, 0x37})), "PrScr");
    EXPECT_EQ(firstName(TableSetId::us, code({0xE0, 0x2A, 0xE0, 0x37})), "PrnScr");
}

TEST(Characters, UsTableHasEveryPrintableCharacterButTheBracesOnce)
{
    const auto& nok2 = tableSet(TableSetId::us).nok2;
    for (int ch = 0x20; ch < 0x7F; ++ch) {
        const auto n = std::count_if(nok2.begin(), nok2.end(), [&](const CharRow& r) { return r.ch == ch; });
        EXPECT_EQ(n, (ch == '{' || ch == '}') ? 0 : 1) << char(ch);
    }
    EXPECT_EQ(charCode(TableSetId::us, 'a'), code({0x1E}));
    EXPECT_EQ(charCode(TableSetId::us, '1'), code({0x02}));
    EXPECT_EQ(charCode(TableSetId::us, ' '), code({0x39}));
    EXPECT_EQ(charCode(TableSetId::us, 'B'), code({0x2A, 0x30, 0xF0, 0x2A}));
    // Rows 48 on are the shifted forms of row 0's keys and on.
    for (size_t i = 48; i < nok2.size(); ++i) {
        EXPECT_EQ(nok2[i].code[0], 0x2A);
        EXPECT_EQ(nok2[i].code[2], 0xF0);
        EXPECT_EQ(nok2[i].code[3], 0x2A);
    }
}

TEST(Characters, LocalLayouts)
{
    EXPECT_EQ(charCode(TableSetId::de, 'z'), code({0x15}));
    EXPECT_EQ(charCode(TableSetId::de, 'y'), code({0x2C}));
    EXPECT_EQ(charCode(TableSetId::de, 'Z'), code({0x2A, 0x15, 0xF0, 0x2A}));
    EXPECT_EQ(charCode(TableSetId::de, '@'), code({0xE0, 0x38, 0x10, 0xE0, 0xF0, 0x38}));
    EXPECT_EQ(charCode(TableSetId::fr, 'a'), code({0x10}));
    EXPECT_EQ(charCode(TableSetId::fr, 'q'), code({0x1E}));
    EXPECT_EQ(charCode(TableSetId::fr, 0x98), code({0x36, 0x1A, 0xB6, 0x15}));
    EXPECT_EQ(charCode(TableSetId::uk, '#'), code({0x2B}));
    EXPECT_EQ(charCode(TableSetId::uk, '~'), code({0x2A, 0x2B, 0xF0, 0x2A}));
    EXPECT_EQ(charCode(TableSetId::uk, '|'), code({0x2A, 0x56, 0xF0, 0x2A}));
    EXPECT_EQ(charCode(TableSetId::uk, '"'), code({0x2A, 0x03, 0xF0, 0x2A}));
    EXPECT_EQ(charCode(TableSetId::uk, '@'), code({0x2A, 0x28, 0xF0, 0x2A}));
    EXPECT_EQ(charCode(TableSetId::uk, 0x9C), code({0x2A, 0x04, 0xF0, 0x2A}));  // pound sign
    EXPECT_EQ(charCode(TableSetId::pt, 0xA0), code({0x1B, 0x1E}));             // dead key, a
    EXPECT_EQ(charCode(TableSetId::no, 0x40), code({0xE0, 0x38, 0x03, 0xF0, 0x38}));
    // The UK table has no row for the backslash or the braces.
    EXPECT_EQ(charCode(TableSetId::uk, '\\'), std::nullopt);
    EXPECT_EQ(charCode(TableSetId::uk, '{'), std::nullopt);
}

// Portuguese, Italian, German and French have the space only as their last row.
TEST(Characters, SpaceIsTypedByItsKeyEverywhere)
{
    for (TableSetId id : kAll) {
        EXPECT_EQ(charCode(id, ' '), code({0x39})) << tableSet(id).tag;
        EXPECT_EQ(charOf(id, code({0x39})), ' ') << tableSet(id).tag;
    }
    for (TableSetId id : {TableSetId::pt, TableSetId::it, TableSetId::de, TableSetId::fr}) {
        const auto& nok2 = tableSet(id).nok2;
        EXPECT_EQ(nok2.back().ch, ' ');
        EXPECT_EQ(std::count_if(nok2.begin(), nok2.end(), [](const CharRow& r) { return r.ch == ' '; }), 1);
    }
}

// 7D and 5D: which row the encoder takes and which only the decoder reaches.
TEST(Characters, FirstMatchForCharactersWithTwoRows)
{
    const Code8 numPad = code({0x4F, 0x50, 0x4C});
    EXPECT_EQ(charCode(TableSetId::it, 0x7D), numPad);
    EXPECT_EQ(charsWithCode(TableSetId::it, numPad), std::vector<uint8_t>{0x7D});
    EXPECT_EQ(charCode(TableSetId::pt, 0x7D), numPad);
    EXPECT_EQ(charOf(TableSetId::pt, code({0xE0, 0x38, 0x0B, 0xE0, 0xF0, 0x38})), 0x7D);
    EXPECT_EQ(charCode(TableSetId::es, 0x7D), code({0xE0, 0x38, 0x2B, 0xE0, 0xF0, 0x38}));
    EXPECT_EQ(charCode(TableSetId::no, 0x7D), code({0xE0, 0x38, 0x0B, 0xF0, 0x38}));
    EXPECT_EQ(charCode(TableSetId::fr, 0x7D), code({0xE0, 0x38, 0x0D, 0xE0, 0xF0, 0x38}));
    for (TableSetId id : {TableSetId::es, TableSetId::no, TableSetId::fr})
        EXPECT_EQ(charOf(id, numPad), 0x7D) << tableSet(id).tag;
    EXPECT_EQ(charOf(TableSetId::us, numPad), std::nullopt);

    EXPECT_EQ(charCode(TableSetId::es, 0x5D), code({0x1B}));
    EXPECT_EQ(charOf(TableSetId::es, code({0xE0, 0x38, 0x1B, 0xE0, 0xF0, 0x38})), 0x5D);
    EXPECT_EQ(charOf(TableSetId::es, code({0x1B})), 0x5D);
}

// A code typed by two characters would decode to the first only.
TEST(Characters, NoCodeTypesTwoCharacters)
{
    for (TableSetId id : kAll) {
        const auto& nok2 = tableSet(id).nok2;
        for (size_t i = 0; i < nok2.size(); ++i) {
            for (size_t j = i + 1; j < nok2.size(); ++j)
                EXPECT_FALSE(nok2[i].code == nok2[j].code)
                    << tableSet(id).tag << " rows " << i << " and " << j;
        }
    }
}

TEST(DefaultCodes, UsListAndTheEntriesTheOthersChange)
{
    const auto& us = tableSet(TableSetId::us).dflt;
    auto entry = [](std::initializer_list<uint8_t> b) {
        DefaultCode d{};
        std::copy(b.begin(), b.end(), d.begin());
        return d;
    };
    EXPECT_EQ(us[0], entry({0x49}));
    EXPECT_EQ(us[35], entry({0x1C}));
    EXPECT_EQ(us[49], entry({0x0B, 0x0B}));
    EXPECT_EQ(us[70], entry({0xE0, 0x5D}));
    EXPECT_EQ(us[84], entry({0xE0, 0x1D}));
    EXPECT_EQ(us[101], entry({0xE0, 0x38}));
    EXPECT_EQ(us[109], entry({0x38}));
    EXPECT_EQ(us[111], entry({}));
    EXPECT_EQ(std::count_if(us.begin(), us.end(), [](const DefaultCode& d) { return d[0] != 0; }), 73);

    struct Change { TableSetId id; DefaultCode e19, e36, e51, e52; };
    const DefaultCode none{};
    const Change changes[] = {
        {TableSetId::us, entry({0x2B}), none, entry({0x36}), none},
        {TableSetId::uk, entry({0x2B}), entry({0x2B}), entry({0x36}), entry({0x56})},
        {TableSetId::es, none, entry({0x2B}), entry({0x36}), entry({0x56})},
        {TableSetId::de, none, entry({0x2B}), entry({0x36}), entry({0x56})},
        {TableSetId::fr, none, entry({0x2B}), entry({0x36}), entry({0x56})},
        {TableSetId::pt, none, entry({0x2B}), none, entry({0x36})},
        {TableSetId::no, none, entry({0x2B}), none, entry({0x36})},
        {TableSetId::it, none, entry({0x2B}), none, entry({0x36})},
    };
    for (const Change& c : changes) {
        const auto& d = tableSet(c.id).dflt;
        SCOPED_TRACE(tableSet(c.id).tag);
        EXPECT_EQ(d[19], c.e19);
        EXPECT_EQ(d[36], c.e36);
        EXPECT_EQ(d[51], c.e51);
        EXPECT_EQ(d[52], c.e52);
        for (size_t i = 0; i < kDefaultCodes; ++i) {
            if (i != 19 && i != 36 && i != 51 && i != 52) {
                EXPECT_EQ(d[i], us[i]) << i;
            }
        }
    }
}

TEST(SetChoice, ChineseSystemWithChineseUserGetsUs)
{
    for (uint16_t zh : {0x0404, 0x0804, 0x1004}) {
        EXPECT_EQ(chosenLanguageId(zh, zh, zh), 0x0409);
        EXPECT_EQ(chooseTableSet(zh, zh, zh), TableSetId::us);
    }
    // Any mismatch leaves the user language, whose primary language 04 is Spanish's.
    EXPECT_EQ(chooseTableSet(0x0804, 0x0804, 0x0C04), TableSetId::es);
    EXPECT_EQ(chooseTableSet(0x0404, 0x0404, 0x0804), TableSetId::es);
    EXPECT_EQ(chooseTableSet(0x0409, 0x0804, 0x0804), TableSetId::es);
    EXPECT_EQ(chooseTableSet(0x0C04, 0x0C04, 0x0C04), TableSetId::es);
    // The system values matter only for the Chinese rule.
    EXPECT_EQ(chooseTableSet(0x0407, 0x0407, 0x040C), TableSetId::fr);
}

TEST(SetChoice, ByUserLanguage)
{
    const std::pair<uint16_t, TableSetId> cases[] = {
        {0x0409, TableSetId::us}, {0x0C09, TableSetId::us}, {0x0809, TableSetId::uk},
        {0x040A, TableSetId::es}, {0x0C0A, TableSetId::es}, {0x0816, TableSetId::pt},
        {0x0416, TableSetId::pt}, {0x0414, TableSetId::no}, {0x0814, TableSetId::no},
        {0x0410, TableSetId::it}, {0x0810, TableSetId::it}, {0x0407, TableSetId::de},
        {0x0807, TableSetId::de}, {0x040C, TableSetId::fr}, {0x080C, TableSetId::fr},
        {0x0411, TableSetId::us}, {0x0413, TableSetId::us}, {0x0000, TableSetId::us},
    };
    for (auto [lang, set] : cases) {
        EXPECT_EQ(tableSetForLanguage(lang), set) << std::hex << lang;
        EXPECT_EQ(chooseTableSet(0x0409, 0x0409, lang), set) << std::hex << lang;
    }
}

TEST(SetChoice, LogsTheIdentifiersBeforeAndAfter)
{
    Log log;
    test::MemoryLog mem(log);
    EXPECT_EQ(chooseTableSet(log, 0x0804, 0x0804, 0x0804), TableSetId::us);
    EXPECT_EQ(chooseTableSet(log, 0x0407, 0x0407, 0x0809), TableSetId::uk);
    EXPECT_EQ(mem.text(),
              " lcid=804h, lgid=804h, ulgid=804h \n"
              " lcid=804h, lgid=804h, ulgid=409h \n"
              " lcid=407h, lgid=407h, ulgid=809h \n"
              " lcid=407h, lgid=407h, ulgid=809h \n");

    Log closed;  // a log that is not open takes nothing and changes nothing
    EXPECT_EQ(chooseTableSet(closed, 0x040C, 0x040C, 0x040C), TableSetId::fr);
}

}  // namespace
}  // namespace ptu
