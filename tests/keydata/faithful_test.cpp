// What the image keeps and what it refuses: a key is stored so that it reads
// back as it was, or it is left out, named, and leaves nothing behind.
#include "codec_support.h"

#include <gtest/gtest.h>

namespace ptu::test {
namespace {

std::string& cell(State& s, int page, int slot)
{
    const KeySlot& ks = keypos[s.mv.kbt_f][slot];
    return keyCell(s.kd.hbuf, page, ks.col, ks.row);
}

KeyRef ref(State& s, int page, int slot, LeftOut why)
{
    const KeySlot& ks = keypos[s.mv.kbt_f][slot];
    return {page, ks.col, ks.row, why};
}

TEST(Faithful, ADroppedMacroLeavesTheImageAsIfItWereNeverThere)
{
    auto with = makeState(2, 2048);  // six pages, lmt 1946
    auto without = makeState(2, 2048);
    for (State* s : {with.get(), without.get()}) {
        keyCell(s->kd.hbuf, 0, 13, 0) = std::string(1821, 'a');
        keyCell(s->kd.hbuf, 0, 13, 2) = "c";
    }
    keyCell(with->kd.hbuf, 0, 13, 1) = std::string(150, 'b');
    const auto left = buildImage(*with);
    EXPECT_EQ(left, (std::vector<KeyRef>{{0, 13, 1, LeftOut::memoryFull}}));
    buildImage(*without);
    EXPECT_EQ(image(*with), image(*without));  // no 0x30 left in the free area, the same indexes

    loadImage(*with, image(*with));
    EXPECT_EQ(keyCell(with->kd.hbuf, 0, 13, 1), "");
    EXPECT_EQ(keyCell(with->kd.hbuf, 0, 13, 2), "c");
    EXPECT_EQ(keyCell(with->kd.hbuf, 0, 12, 2), "");  // no key made of the left-over bytes
}

// The first key of model 3 (slot k, starting at offset k after the one-byte
// ldt slot and the empty slots) takes 'a' x m and a last token: the token
// lands at k + 1 + m and its final 0 one further.
TEST(Faithful, AKeyWhoseFinalZeroWouldReachLmtIsDropped)
{
    int k = 1;
    while (keypos[3][k].col >= kCols || keypos[3][k].row >= kRows) ++k;
    for (const char* last : {"{F1}", "{65}"}) {
        SCOPED_TRACE(last);
        auto s = makeState(3);  // lmt 8090
        s->fl.hide_f = 0;
        cell(*s, 0, k) = std::string(std::size_t(8088 - k), 'a') + last;  // its 0 would be at 8090
        EXPECT_EQ(htor(*s), (std::vector<KeyRef>{ref(*s, 0, k, LeftOut::memoryFull)}));
        EXPECT_EQ(s->buf.ibuf[std::size_t(k) + 1], 0);
        EXPECT_EQ(s->buf.ibuf[8089], 0);

        auto fits = makeState(3);
        fits->fl.hide_f = 0;
        cell(*fits, 0, k) = std::string(std::size_t(8087 - k), 'a') + last;  // its 0 at 8089, below lmt
        EXPECT_TRUE(buildImage(*fits).empty());
        const auto img = image(*fits);
        EXPECT_EQ(img[8088], std::string(last) == "{F1}" ? 0x3B : 65);
        EXPECT_EQ(img[8089], 0);
        // The page-ending zeros of the six pages lie past lmt; the used
        // length still counts them.
        EXPECT_EQ(fits->kd.used_len, 8096);
        EXPECT_EQ(word(img, 8192 - 100), 8096);
    }
}

TEST(Faithful, SlotsWithoutTheMarkerRefuseTextsThatWouldReadAsOne)
{
    // Slot 0 of pages 1..5 on model 4 is stored without the FF marker.
    for (int hide : {0, 1}) {
        auto s = makeState(4);
        s->fl.hide_f = hide;
        cell(*s, 1, 0) = hide ? "\xFB" "abc" : "{251}";
        cell(*s, 2, 0) = hide ? "\xFF" "abc" : "{255}abc";
        cell(*s, 3, 0) = hide ? "plain" : "{254}";
        EXPECT_EQ(htor(*s), (std::vector<KeyRef>{ref(*s, 1, 0, LeftOut::markerByte), ref(*s, 2, 0, LeftOut::markerByte)}));
        loadImage(*s, image(*s));
        EXPECT_EQ(cell(*s, 1, 0) + cell(*s, 2, 0) + cell(*s, 3, 0), hide ? "plain" : "\xFE") << hide;
    }
}

TEST(Faithful, AOnePageImageReadsEveryStringEndingBelowLmtAndModel11PadsEveryPage)
{
    // Another program's model-0 image: the last key ends at 2028, between
    // end - 40 and lmt (2032).
    std::vector<uint8_t> img(2048, 0);
    img[175] = 0xFF;
    std::fill(img.begin() + 176, img.begin() + 2028, 0x1E);
    auto s = makeState(0, 2048, 1);
    loadImage(*s, img);
    EXPECT_EQ(cell(*s, 0, 175), std::string(2028 - 176, 'a'));

    // Pad keys in column-then-row order: (5,0) first, (5,3) fourth, (8,3) sixteenth.
    auto pad = makeState(11);
    pad->fl.pad_f = 1;
    fcode(*pad);
    for (const auto& page : pad->kd.hbuf)
        EXPECT_EQ(page[0][5] + page[3][5] + page[3][8], "70{ENTER}");
}

}  // namespace
}  // namespace ptu::test
