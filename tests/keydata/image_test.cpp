// Whole images: the key data layout of htor, the page indexes of mkidx, the
// tail writes, unpacking a read with r2wr and decoding with rtoh.
#include "codec_support.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ptu::test {
namespace {

TEST(ImageLayout, EmptySixPageImage)
{
    auto s = makeState(3);  // six pages, 8K, kmax 175
    s->rg.ldt = 16;
    EXPECT_TRUE(buildImage(*s).empty());
    const auto img = image(*s);
    EXPECT_EQ(img[0], 0x10);
    for (int i = 1; i < 1057; ++i) ASSERT_EQ(img[i], 0) << i;
    EXPECT_EQ(s->kd.used_len, 1057);
    EXPECT_EQ(word(img, 8192 - 100), 1057);
    EXPECT_EQ(word(img, 8192 - 28), 0);      // page 0 starts at 0
    EXPECT_EQ(word(img, 8192 - 26), 33);     // slot 32 of page 0
    EXPECT_EQ(word(img, 8192 - 40), 177);    // page 1
    EXPECT_EQ(word(img, 8192 - 88), 881);    // page 5
    EXPECT_EQ(word(img, 8192 - 78), 881 + 160);  // slot 160 of page 5
    EXPECT_EQ(img[8189], 0x55);
    EXPECT_EQ(img[8190], 0xAA);
    EXPECT_EQ(img[8191], 0xD6);
}

TEST(ImageLayout, IndexWith128Slots)
{
    auto s = makeState(2, 2048);
    s->mv.kmax = 127;
    buildImage(*s);
    const auto img = image(*s);
    for (int page = 0; page < 6; ++page) {
        const int idx = 2048 - 28 - 12 * page;  // page 0 at end-28, page 1 at end-40, ...
        EXPECT_EQ(word(img, idx), 128 * page) << page;
        EXPECT_EQ(word(img, idx + 2), 128 * page + 32);
        EXPECT_EQ(word(img, idx + 4), 128 * page + 64);
        EXPECT_EQ(word(img, idx + 6), 128 * page + 96);
        EXPECT_EQ(word(img, idx + 8), 128 * page + 128);  // the next page
        EXPECT_EQ(word(img, idx + 10), 0);
    }
    EXPECT_EQ(word(img, 2048 - 100), 6 * 128);
}

TEST(ImageLayout, SlotZeroAndMarkers)
{
    // Models 0 and 1 keep a macro in slot 0 of page 0 and no ldt byte.
    auto s0 = makeState(0, 2048, 1);
    s0->rg.ldt = 16;
    keyCell(s0->kd.hbuf, 0, 15, 0) = "a";
    buildImage(*s0);
    EXPECT_EQ(image(*s0)[0], 0xFF);
    EXPECT_EQ(image(*s0)[1], 0x1E);
    EXPECT_EQ(image(*s0)[2], 0x00);

    // Slot 0 of the later pages (kind 17) has no marker; with hide_f and no
    // pad flag its text is stored as it stands, otherwise converted.
    for (int hide : {1, 0}) {
        auto s = makeState(4);
        s->fl.hide_f = hide;
        keyCell(s->kd.hbuf, 1, 21, 6) = "ab";
        htor(*s);
        const auto img = image(*s);
        const int page1 = 176;  // ldt 0 is one byte, so page 0 is 176 bytes
        EXPECT_EQ(img[page1], hide ? 'a' : 0x1E);
        EXPECT_EQ(img[page1 + 1], hide ? 'b' : 0x30);
        EXPECT_EQ(img[page1 + 2], 0);
    }

    // A hidden key's text holds codes while hide_f is set: stored unchanged
    // where fcode gives it (slot 64 of page 0); on another page it would read
    // back as codes, so it is refused and nothing of it stays.
    auto s = makeState(4);
    keyCell(s->kd.hbuf, 0, 16, 3) = "\x49xyz";
    keyCell(s->kd.hbuf, 2, 16, 3) = "\x49xyz";
    const auto left = htor(*s);
    EXPECT_EQ(asInts(std::string(reinterpret_cast<char*>(&s->buf.ibuf[1 + 63]), 6)),
              (std::vector<int>{0xFF, 0x49, 'x', 'y', 'z', 0}));
    const int at = 176 + 5 + 176 + 64;  // page 0 grew by the five bytes of slot 64
    EXPECT_EQ(asInts(std::string(reinterpret_cast<char*>(&s->buf.ibuf[at]), 6)),
              (std::vector<int>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(left, (std::vector<KeyRef>{{2, 16, 3, LeftOut::hiddenKey}}));
}

TEST(ImageTail, SixPageDriverKeyboard)
{
    auto s = makeState(9);
    s->fl.m84_f = 1;
    s->rg.r27 = 4;
    s->rg.r28 = 0xE8;
    s->rg.r29 = 0x9E;
    buildImage(*s);
    const auto img = image(*s);
    auto pos = [&](int k) { return int(img[8192 - k]); };
    EXPECT_EQ((std::vector<int>{pos(1), pos(2), pos(3), pos(4), pos(5), pos(6)}),
              (std::vector<int>{0xD6, 0xAA, 0x55, 0x9E, 0xE8, 0x04}));
    EXPECT_EQ((std::vector<int>{pos(16), pos(15), pos(14), pos(13), pos(12), pos(11), pos(10)}),
              (std::vector<int>{0xC6, 0x08, 0x25, 0x3B, 0x3B, 0x3F, 0x01}));
    EXPECT_EQ(pos(9) | pos(8) | pos(7), 0);
    EXPECT_EQ(word(img, 8192 - 28), 0);  // no relocation: page 0's index stays
    EXPECT_NE(word(img, 8192 - 26), 0);
}

TEST(ImageTail, UsbAndPadVariants)
{
    auto usb = makeState(13);
    usb->fl.usb_f = 1;
    usb->fl.m84_f = 1;
    usb->rg.r2a = 0x69;
    usb->rg.r29 = 0x02;
    buildImage(*usb);
    EXPECT_EQ(usb->buf.ibuf[8192 - 4], 0x69);
    EXPECT_EQ(usb->buf.ibuf[8192 - 7], 0x02);  // the MSR step keeps it on USB

    // pad_f 2 on model 11: neither relocation nor MSR settings; the index
    // words of page 0 stay at end-16 .. end-7 (one page of 176 zeros).
    auto pad2 = makeState(11, 8192, 1);
    pad2->fl.pad_f = 2;
    pad2->fl.hide_f = 0;
    buildImage(*pad2);
    const auto img2 = image(*pad2);
    EXPECT_EQ(word(img2, 8192 - 16), 32);
    EXPECT_EQ(word(img2, 8192 - 28), 0);
    EXPECT_EQ(word(img2, 8192 - 26), 0);

    // pad_f 1 on a one-page model: the index moves to end-26 and magcfg
    // takes its first place.
    auto pad1 = makeState(5, 8192, 1);
    pad1->fl.pad_f = 1;
    pad1->fl.hide_f = 0;
    buildImage(*pad1);
    const auto img1 = image(*pad1);
    EXPECT_EQ(word(img1, 8192 - 28), 0);
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(word(img1, 8192 - 28 + 2 * n), 32 * n) << n;
    EXPECT_EQ(img1[8192 - 16], 0xC6);
    EXPECT_EQ(img1[8192 - 7], 0);
}

TEST(ImageBuild, SaveClearsTheBufferWriteKeepsItsFreeArea)
{
    auto s = makeState(3);
    s->buf.ibuf.fill(0x77);
    bool hookRan = false;
    buildImage(*s, false, [&](State& st) {
        hookRan = true;
        EXPECT_EQ(st.kd.used_len, 1056);     // after htor
        EXPECT_EQ(st.buf.ibuf[8191], 0x77);  // before the tail
        st.buf.ibuf[5] = 0x42;               // the USB form is what gets indexed
    });
    EXPECT_TRUE(hookRan);
    const auto kept = image(*s);
    EXPECT_EQ(kept[2000], 0x77);           // free area as the buffer held it
    EXPECT_EQ(kept[8192 - 102], 0);        // lmt on is cleared
    EXPECT_EQ(word(kept, 8192 - 26), 33);  // slot 32 (at 32 without the hook) moved on by one
    EXPECT_EQ(kept[8191], 0xD6);

    s->buf.ibuf.fill(0x77);
    buildImage(*s, true);
    EXPECT_EQ(image(*s)[2000], 0);
}

// Model 4 without hidden keys: page 0 filled with long texts from slot 16 on.
std::unique_ptr<State> nearlyFull()
{
    auto s = makeState(4);
    s->fl.hide_f = 0;
    for (int k = 16; k < 47; ++k) keyCell(s->kd.hbuf, 0, keypos[4][k].col, keypos[4][k].row) = std::string(250, 'a');
    keyCell(s->kd.hbuf, 0, 0, 1) = std::string(120, 'a');   // slot 47: data now ends at 7950
    keyCell(s->kd.hbuf, 0, 15, 2) = std::string(200, 'a');  // slot 48 would run into the tail
    keyCell(s->kd.hbuf, 0, 14, 2) = "b";                    // slot 49 fits
    return s;
}

TEST(ImageFull, AKeyThatWouldReachTheTailIsStoredEmptyAndReported)
{
    auto s = nearlyFull();
    const auto dropped = buildImage(*s);
    EXPECT_EQ(dropped, (std::vector<KeyRef>{{0, 15, 2}}));
    const auto img = image(*s);
    EXPECT_EQ(img[7950], 0);
    EXPECT_EQ(asInts(std::string(reinterpret_cast<const char*>(&img[7951]), 3)),
              (std::vector<int>{0xFF, 0x30, 0x00}));
    EXPECT_LE(s->kd.used_len, 8090);

    auto back = makeState(4);
    back->fl.hide_f = 0;
    loadImage(*back, img);
    EXPECT_EQ(keyCell(back->kd.hbuf, 0, 15, 2), "");
    EXPECT_EQ(keyCell(back->kd.hbuf, 0, 14, 2), "b");
    EXPECT_EQ(keyCell(back->kd.hbuf, 0, 0, 1), std::string(120, 'a'));
}

TEST(ImageFull, KeysAfterTheLimitAreDroppedAndTheTailIsNeverText)
{
    auto s = makeState(4);
    s->fl.hide_f = 0;
    for (int p = 0; p < 6; ++p)
        for (int k = 1; k < kSlots; ++k) {
            const KeySlot& ks = keypos[4][k];
            if (ks.col < kCols && ks.row < kRows) keyCell(s->kd.hbuf, p, ks.col, ks.row) = "Key{F1}text";
        }
    const auto dropped = buildImage(*s);
    ASSERT_FALSE(dropped.empty());
    EXPECT_EQ(dropped.back().page, 5);
    EXPECT_LT(s->kd.used_len, 8192 - 100);
    const auto img = image(*s);
    EXPECT_EQ(img[8191], 0xD6);

    auto back = makeState(4);
    back->fl.hide_f = 0;
    for (auto& page : back->kd.hbuf)
        for (auto& row : page)
            for (auto& t : row) t = "old";
    loadImage(*back, img);
    std::size_t stored = 0;
    for (int p = 0; p < 6; ++p)
        for (int k = 1; k < kSlots; ++k) {
            const KeySlot& ks = keypos[4][k];
            if (ks.col >= kCols || ks.row >= kRows) continue;
            const std::string& t = keyCell(back->kd.hbuf, p, ks.col, ks.row);
            bool wasDropped = false;
            for (const KeyRef& d : dropped) wasDropped |= d == KeyRef{p, ks.col, ks.row};
            if (wasDropped) EXPECT_EQ(t, "") << p << " " << k;
            else {
                EXPECT_EQ(t, "Key{F1}text") << p << " " << k;
                ++stored;
            }
        }
    EXPECT_EQ(stored + dropped.size(), 6u * 142u);
}

TEST(ImageFull, OnePageKeyDataRunsUpToTheFirstIndexWordAndSurvivesTheTail)
{
    // One long macro in the last used slot of a one-page 2K image; every byte
    // of key data must survive the index writer and the tail (with pad_f the
    // moved index too), and the longest macro that fits ends just below
    // end - 40 (with 35 slots or fewer the later indexes reach end - 100).
    struct Case { int kbt, pad, kmax, end; };
    for (const Case c : {Case{0, 0, 175, 2048 - 40}, Case{5, 1, 175, 2048 - 40}, Case{0, 0, 20, 2048 - 100}}) {
        auto s = makeState(c.kbt, 2048, 1);
        s->fl.pad_f = c.pad;
        s->fl.hide_f = 0;
        s->mv.kmax = c.kmax;
        int k = c.kmax;
        while (keypos[c.kbt][k].col >= kCols || keypos[c.kbt][k].row >= kRows || (keypos[c.kbt][k].kind & 0x10)) --k;
        const KeySlot& ks = keypos[c.kbt][k];
        // Slots 0 .. k - 1 are one 0 each; the macro is the marker, L bytes, 0.
        const int longest = c.end - 2 - k;
        for (int len = 1; len <= longest + 1; len += (len + 40 < longest ? 40 : 1)) {
            SCOPED_TRACE("model " + std::to_string(c.kbt) + " kmax " + std::to_string(c.kmax) + " length " +
                         std::to_string(len));
            keyCell(s->kd.hbuf, 0, ks.col, ks.row) = std::string(std::size_t(len), 'a');
            s->buf.ibuf.fill(0);
            const auto dropped = htor(*s);
            const std::vector<uint8_t> keyData(s->buf.ibuf.begin(), s->buf.ibuf.begin() + s->kd.used_len);
            EXPECT_EQ(buildImage(*s), dropped);
            const auto img = image(*s);
            ASSERT_TRUE(std::equal(keyData.begin(), keyData.end(), img.begin()));
            if (len > longest) {
                EXPECT_EQ(dropped, (std::vector<KeyRef>{{0, ks.col, ks.row}}));
                continue;
            }
            EXPECT_TRUE(dropped.empty());
            auto back = makeState(c.kbt, 2048, 1);
            back->fl.pad_f = c.pad;
            back->fl.hide_f = 0;
            back->mv.kmax = c.kmax;
            loadImage(*back, img);
            EXPECT_EQ(keyCell(back->kd.hbuf, 0, ks.col, ks.row).size(), std::size_t(len));
        }
    }
}

TEST(ImageFull, KmaxBeyondTheSlotTableIsKeptTo175)
{
    auto s = makeState(0, 2048, 1);
    s->mv.kmax = 500;
    buildImage(*s);
    EXPECT_EQ(s->kd.used_len, 176);
    s->mv.kmax = -3;  // one slot per page
    buildImage(*s);
    EXPECT_EQ(s->kd.used_len, 1);
}

TEST(R2wr, UnpacksNibblePairs)
{
    FakePlatform pf;
    auto s = makeState(3, 2048);
    s->buf.rbuf.fill(0x11);
    const uint8_t reply[] = {0x11, 0x22, 0xD3, 0x0A, 0xD1, 0x00, 0xDF, 0x0F};
    std::memcpy(s->buf.rbuf.data(), reply, sizeof reply);
    const int k = r2wr(*s, pf);
    EXPECT_EQ(k, 2048);  // pairs from offset 2 while below 4098
    EXPECT_EQ(s->buf.rbuf[0], 0x3A);
    EXPECT_EQ(s->buf.rbuf[1], 0x10);
    EXPECT_EQ(s->buf.rbuf[2], 0xFF);
    EXPECT_EQ(s->buf.ibuf[0], 0x3A);
    EXPECT_EQ(s->rg.ldt, 0x3A);

    s->buf.rbuf.fill(0);
    EXPECT_EQ(r2wr(*s, pf), 2049);  // a reply starting with 00 starts there
}

TEST(R2wr, StaysInsideTheRawBuffer)
{
    FakePlatform pf;
    auto s = makeState(4);
    s->buf.rbuf.fill(0x11);
    EXPECT_EQ(r2wr(*s, pf), 0);  // nothing qualifies
    s->buf.rbuf[kRawBufSize - 1] = 0xD0;
    EXPECT_EQ(r2wr(*s, pf), 0);  // qualifies too late
    s->buf.rbuf.fill(0x11);
    s->buf.rbuf[2 * 8192] = 0xD4;  // the last pair that counts
    EXPECT_EQ(r2wr(*s, pf), 1);
    EXPECT_EQ(s->buf.rbuf[0], 0x41);

    s->fl.usb_f = 1;
    s->buf.rbuf[0] = 0x77;
    EXPECT_EQ(r2wr(*s, pf), 8192);
    EXPECT_EQ(s->buf.ibuf[0], 0x77);
}

TEST(Rtoh, LdtRules)
{
    std::vector<uint8_t> img(8192, 0);
    img[0] = 0x20;
    struct Case { int kbt, pad, usb, ldt; };
    for (const Case c : {Case{5, 1, 0, 0}, Case{11, 1, 0, 0x20}, Case{5, 1, 1, 0x20}, Case{4, 0, 0, 0x20}}) {
        auto s = makeState(c.kbt, 8192, c.kbt == 5 ? 1 : 6);
        s->fl.pad_f = c.pad;
        s->fl.usb_f = c.usb;
        s->fl.hide_f = 0;
        loadImage(*s, img);
        EXPECT_EQ(s->rg.ldt, c.ldt) << c.kbt;
    }
}

TEST(Rtoh, ShortDataKeepsLaterSlotsAndMagcfg)
{
    auto s = makeState(0, 2048, 1);
    keyCell(s->kd.hbuf, 0, 15, 1) = "old";   // slot 1
    keyCell(s->kd.hbuf, 0, 15, 0) = "old";   // slot 0
    loadImage(*s, {0xFF, 0x1E, 0x00, 0x2A});
    EXPECT_EQ(keyCell(s->kd.hbuf, 0, 15, 0), "a");
    EXPECT_EQ(keyCell(s->kd.hbuf, 0, 15, 1), "old");
    EXPECT_EQ(s->kd.magcfg[0], 0xC6);

    std::vector<uint8_t> img(2048, 0);
    img[2048 - 16] = 0x12;
    loadImage(*s, img);
    EXPECT_EQ(keyCell(s->kd.hbuf, 0, 15, 1), "");
    EXPECT_EQ(s->kd.magcfg[0], 0x12);
}

TEST(CodecLog, TraceLinesGoToAnOpenLog)
{
    auto s = makeState(0, 2048, 1);
    MemoryLog log(s->log);
    FakePlatform pf;
    s->buf.rbuf[0] = 0xDF;
    s->buf.rbuf[1] = 0x0F;
    s->buf.rbuf[2] = 0xD1;
    s->buf.rbuf[3] = 0x0E;
    r2wr(*s, pf);
    rtoh(*s, 3);
    const std::string out = log.text();
    EXPECT_NE(out.find(" in r2wr at 1800000000 \n"), std::string::npos);
    EXPECT_NE(out.find(" ldt=255, k=2049, tm=1800000000 \n"), std::string::npos);
    EXPECT_NE(out.find("\n ---> In rtoh( 3 ), pn=1 \n"), std::string::npos);
    EXPECT_NE(out.find(" match key2: j=26, nok2=93, ascii=61h \n"), std::string::npos);
    EXPECT_NE(out.find(" hbuf[0,0,15,0]=.a. \n"), std::string::npos);
}

}  // namespace
}  // namespace ptu::test
