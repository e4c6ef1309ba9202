// Testing a keyboard key by key, and recording a macro from key events.
#include "keydata/key_events.h"
#include "keydata/key_recorder.h"
#include "keydata/key_tester.h"
#include "tests/keydata/codec_support.h"

#include <gtest/gtest.h>

namespace ptu::test {
namespace {

constexpr uint32_t key(uint16_t evdev) { return evdev + kX11KeycodeOffset; }
constexpr uint16_t kShift = 42, kCtrl = 29, kC = 46, kF7 = 65, kA = 30;

TEST(KeyTester, BurstsMatchTheirKeyOrNameTheNearest)
{
    auto s = makeState(4);
    keyCell(s->kd.hbuf, 0, 15, 0) = "Coffee{ENTER}";
    keyCell(s->kd.hbuf, 0, 14, 0) = "Tea{ENTER}";
    keyCell(s->kd.hbuf, 0, 15, 1) = "{LSFT}{F7}{LSFB}{Delay10}{Delay5}x";
    keyCell(s->kd.hbuf, 0, 8, 7) = "Total";  // RES, a fixed key of page 1
    update_globals(*s);
    KeyTester t(*s, 0);
    EXPECT_EQ(t.burstGapMs(), 300 + 1500);

    const auto coffee = t.burst(encodeText(TableSetId::us, false, "Coffee{ENTER}"));
    EXPECT_TRUE(coffee.matched);
    EXPECT_EQ(t.describe(coffee), "1P1: Coffee{ENTER} \u2014 as programmed");
    // The delays of a macro type nothing: its strokes alone match it.
    EXPECT_TRUE(t.burst("\x2A\x41\xF0\x2A\x2D").matched);
    const auto typo = t.burst(encodeText(TableSetId::us, false, "Tae{ENTER}"));
    EXPECT_FALSE(typo.matched);
    EXPECT_EQ(t.describe(typo), "\"Tae{ENTER}\" matches no key on page 1; nearest 1O1: Tea{ENTER}");
    EXPECT_EQ(t.count(), "2 of 4 programmed keys tested, 1 wrong");
    EXPECT_TRUE(t.isTested(15, 0));
    EXPECT_FALSE(t.isTested(14, 0));
    const std::string report = t.report("today");
    EXPECT_NE(report.find("2 of 4 programmed keys tested, 1 wrong\n\nTested:\n  1P1: Coffee{ENTER}\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find("Not tested:\n  1O1: Tea{ENTER}\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Bursts that matched no key:\n  \"Tae{ENTER}\""), std::string::npos) << report;
}

TEST(KeyRecorder, StrokesBecomeTheTextTheKeyboardNeeds)
{
    KeyRecorder r(TableSetId::us, true);
    long long t = 0;
    for (auto [k, down] : std::initializer_list<std::pair<uint16_t, bool>>{
             {kShift, true}, {kA, true}, {kA, false}, {kShift, false},  // Shift+a
             {kCtrl, true}, {kC, true}, {kC, false}, {kCtrl, false}, {kF7, true}, {kF7, false}})
        EXPECT_TRUE(r.event(key(k), down, t += 10));
    EXPECT_EQ(r.text(), "A{LCTL}c{LCTLB}{F7}");
    EXPECT_TRUE(r.event(key(kA), true, t += 820));  // a pause of 0.82 s
    EXPECT_EQ(r.text(), "A{LCTL}c{LCTLB}{F7}{DELAY5}{DELAY3}a");
    EXPECT_FALSE(r.event(key(113), true, t));  // Mute: no code of the keyboard
    KeyRecorder quiet(TableSetId::us, false);
    quiet.event(key(kA), true, 0);
    quiet.event(key(kA), true, 5000);
    EXPECT_EQ(quiet.text(), "aa");
}

}  // namespace
}  // namespace ptu::test
