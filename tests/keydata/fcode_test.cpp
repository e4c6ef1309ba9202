// Fixed key texts: the built-in numeric pads and the default codes of the
// hidden keys.
#include "codec_support.h"

#include <gtest/gtest.h>

namespace ptu::test {
namespace {

TEST(Fcode, NumericPadInColumnThenRowOrderOnPageZero)
{
    auto s = makeState(5, 8192, 1);  // QX-11: sixteen hidden keys, columns 6..9
    s->fl.pad_f = 1;
    keyCell(s->kd.hbuf, 1, 6, 0) = "kept";
    fcode(*s);
    const char* expected[4][4] = {{"7", "4", "1", "0"},
                                  {"8", "5", "2", "00"},
                                  {"9", "6", "3", "."},
                                  {"{NpMinus}", "{NpPlus}", "", "{ENTER}"}};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_EQ(keyCell(s->kd.hbuf, 0, 6 + c, r), expected[c][r]) << c << "," << r;
    EXPECT_EQ(keyCell(s->kd.hbuf, 1, 6, 0), "kept");
}

TEST(Fcode, KeysAfterTheSixteenthGetTheEmptyTextOnEveryPage)
{
    auto s = makeState(8, 8192, 1);  // QX-42 as a USB keyboard: 109 hidden keys
    s->fl.m84_f = 1;
    for (auto& page : s->kd.hbuf)
        for (auto& row : page)
            for (auto& t : row) t = "x";
    fcode(*s);
    for (int p = 0; p < 6; ++p) {
        int filled = 0, emptied = 0;
        for (int k = 0; k < kSlots; ++k) {
            const KeySlot& ks = keypos[8][k];
            if (ks.kind != KIND_HIDDEN || ks.col >= kCols) continue;
            const std::string& t = keyCell(s->kd.hbuf, p, ks.col, ks.row);
            (t.empty() ? emptied : filled) += 1;
        }
        EXPECT_EQ(filled, 15) << p;  // entries 0..15 less the empty entry 14
        EXPECT_EQ(emptied, 109 - 15) << p;
        EXPECT_EQ(keyCell(s->kd.hbuf, p, 0, 3), "7");  // the first hidden key in column order
        EXPECT_EQ(keyCell(s->kd.hbuf, p, 0, 5), "4");
    }
}

TEST(Fcode, HiddenKeysGetTheLocalesDefaultCodes)
{
    for (auto [ts, e19, e36] : {std::tuple{TableSetId::us, "\x2B", ""}, std::tuple{TableSetId::uk, "\x2B", "\x2B"},
                                std::tuple{TableSetId::es, "", "\x2B"}}) {
        auto s = makeState(4, 8192, 6, ts);
        keyCell(s->kd.hbuf, 1, 16, 3) = "other page";
        fcode(*s);
        EXPECT_EQ(keyCell(s->kd.hbuf, 0, 16, 3), "\x49");      // slot 64: entry 0
        EXPECT_EQ(keyCell(s->kd.hbuf, 0, 13, 4), e19);          // slot 83: entry 19
        EXPECT_EQ(keyCell(s->kd.hbuf, 0, 12, 5), e36);          // slot 100: entry 36
        EXPECT_EQ(keyCell(s->kd.hbuf, 0, 11, 7), "\xE0\x5D");   // slot 134: entry 70
        EXPECT_EQ(keyCell(s->kd.hbuf, 1, 16, 3), "other page");
    }
}

TEST(Fcode, LeavesOtherModelsAndSettingsAlone)
{
    struct Case { int kbt, hide, m17; };
    for (const Case c : {Case{3, 1, 0}, Case{7, 1, 0}, Case{4, 0, 0}, Case{10, 1, 1}}) {
        auto s = makeState(c.kbt);
        s->fl.hide_f = c.hide;
        s->fl.m17_f = c.m17;
        fcode(*s);
        for (auto& page : s->kd.hbuf)
            for (auto& row : page)
                for (auto& t : row) ASSERT_TRUE(t.empty()) << c.kbt;
    }
}

}  // namespace
}  // namespace ptu::test
