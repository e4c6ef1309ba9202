// Key positions of the 18 models: the contents of every model, its grid extent
// with and without -x, and the key usability rules.
#include "keydata/keypos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace ptu {
namespace {

using Box = std::array<int, 4>;    // first column, last column, first row, last row
using Kinds = std::array<int, 7>;  // ordinary, hidden, fixed, lock, numeric, kind 17, pad
constexpr uint8_t kKindOrder[7] = {KIND_ORDINARY, KIND_HIDDEN, KIND_FIXED, KIND_LOCK,
                                   KIND_NUMERIC,  KIND_17,     KIND_PAD};

// What each model holds, written from the model descriptions rather than from
// the runs: pages shown, slots in use (highest slot), kinds, and the grid
// extent with hide_f set and with -x.
struct Contents {
    int pages, used, highest;
    Kinds kinds;
    Box hide, all;
};
//                        ord  hid fix lock num k17 pad
const Contents kContents[kModels] = {
    /*  0 */ {1, 176, 175, {176, 0, 0, 0, 0, 0, 0}, {0, 21, 0, 7}, {0, 21, 0, 7}},
    /*  1 */ {1, 57, 75, {46, 0, 0, 0, 11, 0, 0}, {0, 11, 0, 5}, {0, 11, 0, 5}},
    /*  2 */ {6, 119, 127, {112, 0, 0, 6, 0, 1, 0}, {0, 15, 0, 7}, {0, 15, 0, 7}},
    /*  3 */ {6, 119, 127, {112, 0, 0, 6, 0, 1, 0}, {0, 15, 0, 7}, {0, 15, 0, 7}},
    /*  4 */ {6, 143, 173, {51, 81, 4, 6, 0, 1, 0}, {0, 17, 0, 7}, {0, 17, 0, 7}},
    /*  5 */ {1, 40, 127, {24, 16, 0, 0, 0, 0, 0}, {0, 5, 0, 3}, {0, 9, 0, 3}},
    /*  6 */ {1, 40, 127, {24, 16, 0, 0, 0, 0, 0}, {0, 3, 0, 5}, {0, 8, 0, 5}},
    /*  7 */ {1, 103, 173, {103, 0, 0, 0, 0, 0, 0}, {0, 16, 0, 5}, {0, 16, 0, 5}},
    /*  8 */ {1, 130, 175, {18, 109, 3, 0, 0, 0, 0}, {0, 16, 0, 1}, {0, 21, 0, 7}},
    /*  9 */ {6, 91, 127, {68, 0, 0, 6, 0, 1, 16}, {0, 15, 0, 5}, {0, 15, 0, 5}},
    /* 10 */ {1, 17, 115, {17, 0, 0, 0, 0, 0, 0}, {0, 4, 0, 3}, {0, 4, 0, 3}},
    /* 11 */ {6, 43, 127, {20, 16, 0, 6, 0, 1, 0}, {0, 4, 0, 5}, {0, 8, 0, 5}},
    /* 12 */ {1, 40, 127, {24, 16, 0, 0, 0, 0, 0}, {0, 5, 0, 3}, {0, 9, 0, 3}},
    /* 13 */ {6, 73, 125, {50, 0, 0, 6, 0, 1, 16}, {0, 15, 0, 5}, {0, 15, 0, 5}},
    /* 14 */ {6, 77, 125, {54, 0, 0, 6, 0, 1, 16}, {2, 15, 0, 5}, {2, 15, 0, 5}},
    /* 15 */ {1, 40, 127, {24, 16, 0, 0, 0, 0, 0}, {0, 5, 0, 3}, {0, 9, 0, 3}},
    /* 16 */ {1, 46, 127, {45, 0, 0, 0, 0, 1, 0}, {0, 4, 0, 8}, {0, 4, 0, 8}},
    /* 17 */ {1, 46, 127, {45, 0, 0, 0, 0, 1, 0}, {0, 4, 0, 8}, {0, 4, 0, 8}},
};

bool isUnused(const KeySlot& s) { return s.col == 99 && s.row == 99 && s.kind == 0; }
ModelValues model(int m) { ModelValues mv; mv.kbt_f = m; return mv; }
Flags hideFlag(int hide) { Flags fl; fl.hide_f = hide; return fl; }

Box extent(int m, int hide)
{
    ModelValues mv = model(m);
    Log log;
    update_globals(mv, hideFlag(hide), log);
    return {mv.kxs, mv.kxn - 1, mv.kys, mv.kyn - 1};
}

// The box around the grid cells keyUse finds usable on page 0, leaving out the
// kind-17 key (checked on its own below).
Box usableBox(int m, int hide)
{
    const ModelValues mv = model(m);
    Box b{99, -1, 99, -1};
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            if (keyUse(mv, hideFlag(hide), 0, c, r) == KEY_USABLE && keyKind(mv, c, r) != KIND_17)
                b = {std::min(b[0], c), std::max(b[1], c), std::min(b[2], r), std::max(b[3], r)};
    return b;
}

TEST(KeyposModel, EveryModelMatchesItsContents)
{
    for (int m = 0; m < kModels; ++m) {
        SCOPED_TRACE("model " + std::to_string(m));
        const Contents& want = kContents[m];
        int used = 0, highest = -1;
        Kinds kinds{};
        for (int k = 0; k < kSlots; ++k) {
            const KeySlot& s = keypos[m][k];
            if (isUnused(s)) continue;
            ++used;
            highest = k;
            const auto* it = std::find(std::begin(kKindOrder), std::end(kKindOrder), s.kind);
            ASSERT_NE(it, std::end(kKindOrder)) << "slot " << k << " kind " << int(s.kind);
            ++kinds[it - kKindOrder];
        }
        EXPECT_EQ(pn[m], want.pages);
        EXPECT_EQ(used, want.used);
        EXPECT_EQ(highest, want.highest);
        EXPECT_EQ(kinds, want.kinds);
        EXPECT_EQ(extent(m, 1), want.hide);
        EXPECT_EQ(extent(m, 0), want.all);
        EXPECT_EQ(usableBox(m, 1), want.hide);
        EXPECT_EQ(usableBox(m, 0), want.all);
    }
}

// The kind-17 key becomes usable with -x, but it lies outside its model's grid
// extent either way, so it never gets a visible panel.
TEST(KeyposModel, Kind17KeyLiesOutsideTheExtent)
{
    int seen = 0;
    for (int m = 0; m < kModels; ++m)
        for (const KeySlot& s : keypos[m]) {
            if (s.kind != KIND_17) continue;
            SCOPED_TRACE("model " + std::to_string(m));
            ++seen;
            EXPECT_EQ(keyUse(model(m), hideFlag(1), 0, s.col, s.row), KEY_HIDDEN);
            EXPECT_EQ(keyUse(model(m), hideFlag(0), 0, s.col, s.row), KEY_USABLE);
            for (const Box& b : {kContents[m].hide, kContents[m].all})
                EXPECT_TRUE(s.col < b[0] || s.col > b[1] || s.row < b[2] || s.row > b[3]);
        }
    EXPECT_EQ(seen, 9);
}

// Every used slot names its own cell of the 22 x 16 grid, except model 7's
// slot 137 (the cell of slot 133) and model 8's slot 8 (column 99, no cell).
TEST(KeyposModel, UsedSlotsNameDistinctGridCells)
{
    for (int m = 0; m < kModels; ++m) {
        std::set<std::pair<int, int>> cells;
        for (int k = 0; k < kSlots; ++k) {
            const KeySlot& s = keypos[m][k];
            if (isUnused(s) || (m == 8 && k == 8)) continue;
            EXPECT_TRUE(s.col < kCols && s.row < kRows) << "model " << m << " slot " << k;
            const bool fresh = cells.insert({s.col, s.row}).second;
            EXPECT_EQ(fresh, !(m == 7 && k == 137)) << "model " << m << " slot " << k;
        }
    }
    EXPECT_EQ(keypos[8][8].col, 99);
    EXPECT_EQ(keypos[8][8].row, 0);
}

// Runs go in the direction their end cells give (a reversed run keeps the
// counts and the extent, so only the cells show it).
TEST(KeyposModel, RunDirections)
{
    const std::array<int, 5> probes[] = {  // model, slot, column, row, kind
        {0, 7, 15, 7, 0}, {0, 8, 14, 7, 0},  {0, 175, 20, 0, 0}, {4, 31, 0, 0, 0},
        {4, 64, 16, 3, 1}, {4, 156, 0, 3, 1}, {6, 79, 3, 0, 0},  {9, 35, 11, 5, 32},
        {9, 47, 0, 5, 0},  {16, 49, 4, 8, 0}, {1, 13, 99, 99, 0},
    };
    for (const auto& [m, k, col, row, kind] : probes) {
        const KeySlot& s = keypos[m][k];
        EXPECT_EQ((std::array<int, 3>{s.col, s.row, s.kind}), (std::array<int, 3>{col, row, kind}))
            << "model " << m << " slot " << k;
    }
}

TEST(KeyposModel, KeyUseByKindAndPage)
{
    struct Case {
        int m, col, row;
        int page0, page5, page0x;  // page 0, page 5 (P), page 0 with -x
    };
    const Case cases[] = {
        {0, 3, 3, KEY_USABLE, KEY_USABLE, KEY_USABLE},    // ordinary
        {9, 12, 3, KEY_USABLE, KEY_USABLE, KEY_USABLE},   // numeric pad
        {4, 8, 7, KEY_USABLE, KEY_NONE, KEY_USABLE},      // fixed function
        {2, 15, 3, KEY_USABLE, KEY_NONE, KEY_USABLE},     // key lock
        {1, 6, 3, KEY_USABLE, KEY_NONE, KEY_USABLE},      // numeric (model 1)
        {5, 7, 1, KEY_HIDDEN, KEY_HIDDEN, KEY_USABLE},    // hidden
        {13, 0, 14, KEY_HIDDEN, KEY_HIDDEN, KEY_USABLE},  // kind 17
        {10, 5, 0, KEY_NONE, KEY_NONE, KEY_NONE},         // no key
        {14, 0, 0, KEY_NONE, KEY_NONE, KEY_NONE},         // left of the grid's start
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("model " + std::to_string(c.m) + " cell " + std::to_string(c.col) + "," +
                     std::to_string(c.row));
        const ModelValues mv = model(c.m);
        EXPECT_EQ(keyUse(mv, hideFlag(1), 0, c.col, c.row), c.page0);
        EXPECT_EQ(keyUse(mv, hideFlag(1), 5, c.col, c.row), c.page5);
        EXPECT_EQ(keyUse(mv, hideFlag(0), 0, c.col, c.row), c.page0x);
    }
    EXPECT_EQ(keyKind(model(4), 16, 7), KIND_FIXED);
    EXPECT_EQ(keyKind(model(1), 4, 2), KIND_NUMERIC);
    EXPECT_EQ(keyKind(model(9), 13, 2), KIND_PAD);
    EXPECT_EQ(keyKind(model(9), 15, 7), 0);  // no key
}

TEST(KeyposModel, UpdateGlobalsStartsAfreshAndLogs)
{
    std::FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    Log log;
    log.attach(fp);
    ModelValues mv = model(8);
    update_globals(mv, hideFlag(0), log);
    update_globals(mv, hideFlag(1), log);  // the narrower extent replaces the wider one
    mv.kbt_f = 14;
    update_globals(mv, hideFlag(1), log);
    log.close();
    std::rewind(fp);
    std::string text;
    for (int ch; (ch = std::fgetc(fp)) != EOF;) text += char(ch);
    std::fclose(fp);
    EXPECT_EQ(text,
              " kxn=22, kyn=8, kxs=0, kys=0 \n"
              " kxn=17, kyn=2, kxs=0, kys=0 \n"
              " kxn=16, kyn=6, kxs=2, kys=0 \n");
}

TEST(KeyposModel, StateOverloadsAndUnknownModel)
{
    auto st = std::make_unique<State>();
    st->mv.kbt_f = 5;
    st->fl.hide_f = 0;
    update_globals(*st);
    EXPECT_EQ(st->mv.kxn, 10);
    EXPECT_EQ(keyUse(*st, 0, 9, 3), KEY_USABLE);
    EXPECT_EQ(keyKind(*st, 9, 3), KIND_HIDDEN);

    st->mv.kbt_f = kModels;  // no such model: no keys, and nothing read past the table
    update_globals(*st);
    EXPECT_EQ(st->mv.kxn, 1);
    EXPECT_EQ(keyUse(*st, 0, 0, 0), KEY_NONE);
}

}  // namespace
}  // namespace ptu
