// The window keeps what was typed, marks a key text the keyboard would not
// give back, says why, and lists such keys before a Write or Save; page and
// key commands never make a key text its key cannot store.
#include "keydata/image_build.h"
#include "tests/ui/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

using namespace ptu;
using namespace ptu::test;

namespace {

struct Typing : ShownWindow {
    std::string status() const { return form->statusBar()->currentMessage().toStdString(); }
    int writes() const { return pf.count("progress text Writing 8K Data to the Keyboard... 0000FF") / 2; }
    // Return on the current key, its text replaced by `s`, Return.
    void retype(const char* s)
    {
        key(Qt::Key_Return);
        key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), s);
        key(Qt::Key_Return);
    }
};

}  // namespace

TEST(RoundTripWindow, ATextTheKeyboardWouldChangeIsKeptMarkedAndListedBeforeWrite)
{
    Typing w;
    KeyPanel* a1 = w.form->panelAt(0, 0);
    w.retype("Void{ENTR}");
    EXPECT_EQ(w.text(0, 0, 0), "Void{ENTR}") << "kept as typed";
    EXPECT_NE(w.status().find("1A1: {ENTR} is no key name: did you mean {ENTER}?"), std::string::npos) << w.status();
    EXPECT_NE(a1->problem().toStdString().find("The keyboard gives back: VoidENTR{125}"), std::string::npos);

    // Write lists it first; Cancel leaves the keyboard as it was.
    const std::vector<uint8_t> before = w.kb.mem;
    w.pf.box_answer = IDCANCEL;
    w.form->Write1->trigger();
    const std::string box = w.pf.only("box").back();
    EXPECT_NE(box.find("1 key text would not come back from the keyboard as shown"), std::string::npos) << box;
    EXPECT_NE(box.find("1A1: Void{ENTR} - {ENTR} is no key name"), std::string::npos) << box;
    EXPECT_EQ(w.writes(), 0);
    EXPECT_EQ(w.kb.mem, before);

    // Corrected, the key is written at once, without a box; the mark is gone.
    w.retype("Void{ENTER}");
    EXPECT_TRUE(a1->problem().isEmpty());
    const size_t boxes = w.pf.only("box").size();
    w.pf.box_answer = IDOK;
    w.form->Write1->trigger();
    EXPECT_EQ(w.pf.only("box").size(), boxes);
    EXPECT_EQ(w.writes(), 1);

    // Two lines pasted: the key takes the first.
    QGuiApplication::clipboard()->setText("first\nsecond");
    w.key(Qt::Key_Return);
    w.key(Qt::Key_A, Qt::ControlModifier);
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.form->ked[0]->text(), "first");
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(0, 0, 0), "first");

    // A file whose texts would not come back says so when it is opened.
    w.text(0, 1, 0) = "caf\xE9";
    w.form->synckeys();
    EXPECT_FALSE(w.form->panelAt(1, 0)->problem().isEmpty());
    EXPECT_NE(w.form->problemSummary().find("1 key text would not come back from the keyboard as shown (page 1)"),
              std::string::npos);
}

TEST(RoundTripWindow, CopyPageCopiesOnlyTheKeysBothPagesShow)
{
    ShownWindow w;  // model 4: the fixed keys of row 7 are on page 1 only, the hidden keys on none
    w.text(0, 3, 1) = "copied";
    w.text(0, 8, 7) = "RES page 1";  // a fixed key
    w.text(2, 8, 7) = "";
    w.form->CopyPageItem[1]->trigger();
    EXPECT_EQ(w.text(1, 3, 1), "copied");
    EXPECT_EQ(w.text(1, 8, 7), "") << "a key page 2 does not show keeps its own text";
    EXPECT_TRUE(leftOutKeys(*w.st).empty()) << "nothing the memory cannot store";
    EXPECT_FALSE(w.form->MemoryMeter->styleSheet().contains("red"));
    w.form->Undo1Click();
    EXPECT_EQ(w.text(1, 3, 1), "");

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
