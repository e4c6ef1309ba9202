// The round-trip check: which key texts the keyboard gives back as shown,
// on port and USB keyboards and with every table set, and what it says of
// the others.
#include "device/hid.h"
#include "keydata/charset.h"
#include "keydata/round_trip.h"
#include "tests/keydata/codec_support.h"

#include <gtest/gtest.h>

namespace ptu::test {
namespace {

enum class Road { port, usb };

struct Case {
    const char* what;
    TableSetId set;
    Road road;
    int page;
    int slot;          // of model 4: 16 is an ordinary key, 0 the kind-17 key of pages 2..P
    bool hide;         // hide_f (-x clears it)
    std::string text;  // key bytes
    KeyVerdict verdict;
    std::string back;    // what the keyboard gives back (changed)
    std::string reason;  // part of the first reason
};

std::string latin(std::u32string_view s, TableSetId set) { return keyText(set, s).bytes; }

const Case kCases[] = {
    // A mistyped name: its brace is dropped and the rest typed.
    {"mistyped name", TableSetId::us, Road::port, 0, 16, true, "Void{ENTR}", KeyVerdict::changed, "VoidENTR{125}",
     "{ENTR} is no key name: did you mean {ENTER}?"},
    {"delay not in the tables", TableSetId::de, Road::port, 0, 16, true, "{Delay7}", KeyVerdict::changed, "",
     "the delays are {DELAY1}, {DELAY3}, {DELAY5} and {DELAY10}"},
    {"stray brace", TableSetId::us, Road::port, 0, 16, true, "a{b", KeyVerdict::changed, "ab",
     "the \"{\" before \"b\" opens no key name"},
    // A line break is a key code (0A types 9).
    {"line break", TableSetId::us, Road::port, 0, 16, true, "a\nb", KeyVerdict::changed, "a9b",
     "byte 0x0A (a line break) has no key on the US keyboard"},
    // Characters the tables have no row for.
    {"e acute, US", TableSetId::us, Road::port, 0, 16, true, latin(U"caf\u00e9", TableSetId::us),
     KeyVerdict::changed, "caf{233}", "\"\u00e9\" has no key on the US keyboard"},
    {"n tilde, German", TableSetId::de, Road::usb, 0, 16, true, latin(U"\u00f1", TableSetId::de),
     KeyVerdict::changed, "{241}", "\"\u00f1\" has no key on the German keyboard"},
    {"y diaeresis, UK", TableSetId::uk, Road::port, 0, 16, true, latin(U"\u00ff", TableSetId::uk),
     KeyVerdict::changed, "{152}", "has no key on the UK keyboard"},
    {"byte 0 cuts", TableSetId::us, Road::port, 0, 16, true, "ab{0}cd", KeyVerdict::changed, "ab",
     "{0} is byte 0, which ends the macro"},
    // USB: one usage page per macro.
    {"power then a key", TableSetId::us, Road::usb, 0, 16, true, "{Power}a", KeyVerdict::changed, "{129}a",
     "{Power} is a system key"},
    {"a key then power", TableSetId::de, Road::usb, 0, 16, true, "a{Power}", KeyVerdict::changed, "",
     "{Power} is a system key"},
    {"no usage", TableSetId::us, Road::usb, 0, 16, true, "x{F71}", KeyVerdict::changed, "", "{F71} has no USB key code"},
    // Print Screen of the tables that write it E0 2A E0 37 travels as its usage.
    {"print screen, UK", TableSetId::uk, Road::usb, 0, 16, true, "{PrScr}x", KeyVerdict::faithful, "", ""},
    {"print screen, French", TableSetId::fr, Road::usb, 0, 16, true, "{LCTL}{PrScr}{LCTLB}", KeyVerdict::faithful, "", ""},
    {"print screen, US", TableSetId::us, Road::usb, 0, 16, true, "{PrScr}", KeyVerdict::faithful, "", ""},
    // Keys without the macro marker (-x: slot 0 of pages 2..P).
    {"plain text without marker", TableSetId::us, Road::port, 1, 0, false, "plain", KeyVerdict::changed, "",
     "kept without the macro marker"},
    {"delay without marker, USB", TableSetId::us, Road::usb, 2, 0, false, "{Delay5}ab", KeyVerdict::changed, "4ab",
     "kept without the macro marker"},
    {"marker byte first", TableSetId::us, Road::port, 1, 0, false, "{Mark}a", KeyVerdict::notStored, "",
     "cannot be stored"},
    // What passes.
    {"aliases and shifts", TableSetId::us, Road::port, 0, 16, true, "{Return}{lsft}ab{LSFB}{Delay10}{13}",
     KeyVerdict::faithful, "", ""},
    {"German letters", TableSetId::de, Road::usb, 3, 16, true, latin(U"Gr\u00f6\u00dfe\u20ac", TableSetId::de),
     KeyVerdict::faithful, "", ""},
    {"power alone", TableSetId::de, Road::usb, 0, 16, true, "{POWER}", KeyVerdict::faithful, "", ""},
    {"fixed text as it stands", TableSetId::us, Road::port, 1, 0, true, "\x02\x03", KeyVerdict::faithful, "", ""},
};

std::unique_ptr<State> stateFor(const Case& c)
{
    auto s = makeState(4, 8192, 6, c.set);
    s->fl.usb_f = c.road == Road::usb;
    s->fl.hide_f = c.hide;
    return s;
}

TEST(RoundTrip, SaysWhichTextsComeBackAndWhyNot)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        auto s = stateFor(c);
        const KeySlot& ks = keypos[4][c.slot];
        const KeyCheck k = checkKey(*s, c.page, ks.col, ks.row, c.text, &usbForm());
        EXPECT_EQ(k.verdict, c.verdict) << describe(c.set, k);
        if (!c.back.empty()) {
            EXPECT_EQ(k.back, c.back);
        }
        if (c.reason.empty()) {
            EXPECT_TRUE(k.reasons.empty()) << describe(c.set, k);
        } else {
            ASSERT_FALSE(k.reasons.empty());
            EXPECT_NE(k.reasons.front().find(c.reason), std::string::npos) << k.reasons.front();
        }
        // What the check says comes back is what the image build and decoder make of it.
        if (c.verdict == KeyVerdict::notStored || c.page != 0) continue;
        keyCell(s->kd.hbuf, 0, ks.col, ks.row) = c.text;
        buildImage(*s, true, [](State& st) { sc2hid(st, st.buf.ibuf); });
        auto back = makeState(4, 8192, 6, c.set);
        back->fl = s->fl;
        std::copy_n(s->buf.ibuf.begin(), 8192, back->buf.rbuf.begin());
        hid2sc(*back, back->buf.rbuf);
        rtoh(*back, 8192);
        const std::string& read = keyCell(back->kd.hbuf, 0, ks.col, ks.row);
        if (c.verdict == KeyVerdict::changed) EXPECT_EQ(read, k.back);
        else EXPECT_EQ(encodeText(c.set, false, read), encodeText(c.set, false, c.text)) << read;
    }
}

TEST(RoundTrip, NearestNamesAreTypingSlipsOnly)
{
    EXPECT_EQ(nearestKeyName(TableSetId::us, "ENTR"), "ENTER");
    EXPECT_EQ(nearestKeyName(TableSetId::us, "lsfb"), "LSFB");
    EXPECT_EQ(nearestKeyName(TableSetId::us, "ESCAEP"), "ESCAPE");
    EXPECT_EQ(nearestKeyName(TableSetId::us, "Coffee"), "");
    EXPECT_EQ(nearestKeyName(TableSetId::uk, "F13"), "F1");
}

}  // namespace
}  // namespace ptu::test
