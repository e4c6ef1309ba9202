// The window marks a key text the keyboard would not give back (typing it,
// the Write list and a paste are tried in the real window by the script
// window_round_trip.sh); page and key commands and the special-key menu
// never make a key text its key cannot store.
#include "keydata/image_build.h"
#include "tests/ui/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QStatusBar>

using namespace ptu;
using namespace ptu::test;

TEST(RoundTripWindow, MarksAndCommandsKeepToWhatTheKeyboardGivesBack)
{
    ShownWindow w;  // model 4: the fixed keys of row 7 are on page 1 only, the hidden keys on none
    // A text of a file that would not come back is marked and counted.
    w.text(0, 1, 0) = "caf\xE9";
    w.form->synckeys();
    EXPECT_NE(w.form->panelAt(1, 0)->problem().toStdString().find("The keyboard gives back: caf{233}"),
              std::string::npos);
    EXPECT_NE(w.form->problemSummary().find("1 key text would not come back from the keyboard as shown (page 1)"),
              std::string::npos);

    // Copy Page copies only the keys both pages show.
    w.text(0, 3, 1) = "copied";
    w.text(0, 8, 7) = "RES page 1";  // a fixed key
    w.form->CopyPageItem[1]->trigger();
    EXPECT_EQ(w.text(1, 3, 1), "copied");
    EXPECT_EQ(w.text(1, 8, 7), "") << "a key page 2 does not show keeps its own text";
    EXPECT_TRUE(leftOutKeys(*w.st).empty()) << "nothing the memory cannot store";
    EXPECT_FALSE(w.form->MemoryMeter->styleSheet().contains("red"));

    // Paste Key onto the key of slot 0 of page 2 (shown with -x, stored
    // without the marker) refuses a text that would start with the marker byte.
    Window x;
    x.st->fl.hide_f = 0;
    ASSERT_TRUE(x.build());
    x.form->viewPage(1);
    x.st->kd.tbuf = "{Mark}a";
    x.st->kd.kxi[1] = 21;
    x.st->kd.kyi[1] = 6;
    x.form->PasteKey1Click();
    EXPECT_EQ(x.text(1, 21, 6), "");
    EXPECT_NE(x.form->statusBar()->currentMessage().toStdString().find("Paste Key not done"), std::string::npos);

    // The special-key menu offers no token the keyboard's tables lack.
    Window uk;
    uk.lang = {0x809, 0x809, 0x809};
    ASSERT_TRUE(uk.build());
    for (auto& [a, token] : uk.form->tokenItems) {
        if (token == "{Power}" || token == "{F13}" || token == "{ESC}") {
            EXPECT_EQ(a->isEnabled(), token == "{ESC}") << token;
        }
    }
}
