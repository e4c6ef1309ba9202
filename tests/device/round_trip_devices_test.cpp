// The converse of the round-trip check: every token the special-key menu
// offers, and every character of every table set, reaches the emulated
// keyboards (kbdsim on the port road, the emulated USB library) and comes
// back as it was typed, byte for byte.
#include "device/hid.h"
#include "device/rwkb.h"
#include "device/usb.h"
#include "keydata/codec_index.h"
#include "keydata/round_trip.h"
#include "keydata/special_keys.h"
#include "platform/posix_platform.h"
#include "tests/keydata/codec_support.h"
#include "tests/support/kbdsim_process.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace ptu::test {
namespace {

// The texts a user can put on keys with `s`'s tables: the menu's tokens
// that the check lets the menu offer, and the set's characters, ten to a text.
std::vector<std::string> offeredTexts(const State& s, std::vector<std::string>& refusedTokens)
{
    std::vector<std::string> texts;
    for (const SpecialKeyGroup& g : specialKeyGroups())
        for (const SpecialKey& k : g.keys) {
            if (checkText(s, k.token, &usbForm()).faithful()) texts.push_back(k.token);
            else refusedTokens.push_back(k.token);
        }
    const CodecIndex& ix = codecIndex(s.loc.tset);
    std::string chars;
    for (const CharRow& row : ix.set->nok2) {
        if (row.ch == '{' || row.ch == '}' || chars.find(char(row.ch)) != std::string::npos) continue;
        chars += char(row.ch);
    }
    for (std::size_t i = 0; i < chars.size(); i += 10) texts.push_back(chars.substr(i, 10));
    return texts;
}

// The ordinary keys of model 4, page by page, as (page, column, row).
std::vector<std::array<int, 3>> ordinaryKeys()
{
    std::vector<std::array<int, 3>> keys;
    for (int p : {0, 1, 2, 3, 5})
        for (int k = 1; k < kSlots; ++k)
            if (keypos[4][k].kind == KIND_ORDINARY && keypos[4][k].col < kCols)
                keys.push_back({p, keypos[4][k].col, keypos[4][k].row});
    return keys;
}

TEST(RoundTripDevices, OfferedTokensAndEveryCharacterComeBackThroughTheEmulatedKeyboards)
{
    KbdsimProcess sim;
    ASSERT_EQ(sim.start("--r2a 0xA4"), 0);
    const std::string usbMemory = sim.dir + "/usb-memory";
    setenv("HIDPAD_LIBRARY", HIDPAD_PATH, 1);
    setenv("HIDPAD_EMU_MEMORY", usbMemory.c_str(), 1);
    setenv("HIDPAD_EMU_TYPE", "4", 1);  // model 4
    PosixPlatform pf;
    const auto keys = ordinaryKeys();

    for (int set = 0; set < 8; ++set) {
        for (bool usb : {false, true}) {
            SCOPED_TRACE(std::string(tableSet(TableSetId(set)).tag) + (usb ? " USB" : " port"));
            auto s = makeState(4, 8192, 6, TableSetId(set));
            s->fl.usb_f = usb;
            s->rg.r2a = usb ? 0x64 : 0xA4;
            std::vector<std::string> refused;
            const std::vector<std::string> texts = offeredTexts(*s, refused);
            // Only the tokens of keys the set's tables lack (or USB lacks) are held back.
            for (const std::string& t : refused)
                EXPECT_TRUE(t.starts_with("{F1") || t.starts_with("{Span") || t == "{F71}" || t == "{BackSlash}" ||
                            t == "{Ro}" || t == "{Power}" || t == "{Sleep}" || t == "{WakeUp}")
                    << t;
            ASSERT_LE(texts.size(), keys.size());
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const auto [p, c, r] = keys[i];
                keyCell(s->kd.hbuf, p, c, r) = texts[i];
                EXPECT_TRUE(checkKey(*s, p, c, r, &usbForm()).faithful()) << texts[i];
            }
            s->fl.hide_f = 0;  // the hidden keys keep what the test put there: nothing
            ASSERT_TRUE(buildImage(*s, true, [](State& st) { sc2hid(st, st.buf.ibuf); }).empty());

            const std::vector<uint8_t> image(s->buf.ibuf.begin(), s->buf.ibuf.begin() + 8192);
            auto back = makeState(4, 8192, 6, TableSetId(set));
            back->fl = s->fl;
            back->rg.r2a = s->rg.r2a;
            if (usb) {
                ASSERT_EQ(openUSB(*s, pf), 0);
                ASSERT_EQ(rwkbu(*s, pf, 3, s->buf.ibuf), 0);
                ASSERT_EQ(rwkbu(*s, pf, 2, back->buf.rbuf), 0);
                closeUSB(*s, pf);
            } else {
                ASSERT_EQ(rwkb(*s, pf, MODE_WRITE, s->buf.ibuf), RWKB_OK);
                ASSERT_EQ(rwkb(*back, pf, MODE_READ, back->buf.rbuf), RWKB_OK);
            }
            const int n = r2wr(*back, pf);
            ASSERT_GE(n, 8192);
            EXPECT_TRUE(std::equal(image.begin(), image.end(), back->buf.rbuf.begin()))
                << "the keyboard holds the image byte for byte";
            hid2sc(*back, back->buf.rbuf);
            rtoh(*back, n);
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const auto [p, c, r] = keys[i];
                const std::string& read = keyCell(back->kd.hbuf, p, c, r);
                EXPECT_EQ(encodeText(TableSetId(set), false, read), encodeText(TableSetId(set), false, texts[i]))
                    << texts[i] << " came back as " << read;
            }
        }
    }
}

}  // namespace
}  // namespace ptu::test
