// Moving around the grid with the keyboard as a user does: arrows with
// wrapping, Home and End, the pages, Ctrl+R and Ctrl+W on release, Escape,
// and the key clipboard keys.
#include "tests/ui/window_fixture.h"
#include "ui/colours.h"

#include <gtest/gtest.h>

#include <QAction>

using namespace ptu;
using namespace ptu::test;

namespace {

using Cell = std::pair<int, int>;

using Model4 = ShownWindow;

}  // namespace

TEST(Navigation, ArrowsWrapAndLandOnUsableKeys)
{
    Model4 w;
    struct Step {
        Qt::Key key;
        Cell to;
    };
    // Column A holds rows 1..3 on page 1 (the rows below are hidden keys);
    // row 1 runs to the key-lock column R.
    const Step steps[] = {
        {Qt::Key_Down, {0, 1}}, {Qt::Key_Down, {0, 2}}, {Qt::Key_Down, {0, 0}},  // wraps down
        {Qt::Key_Up, {0, 2}},                                                      // wraps up
        {Qt::Key_Up, {0, 1}},   {Qt::Key_Left, {17, 1}},                           // wraps left
        {Qt::Key_Right, {0, 1}},                                                   // wraps right
        {Qt::Key_End, {10, 1}}, {Qt::Key_Home, {0, 1}},
    };
    for (const Step& s : steps) {
        w.key(s.key);
        EXPECT_EQ(w.current(), s.to) << QTest::toString(QKeySequence(s.key));
    }
    EXPECT_EQ(w.form->panelAt(0, 1)->face().colour, clFuchsia);
    EXPECT_EQ(w.form->panelAt(17, 1)->face().colour, clBtnFace);
}

TEST(Navigation, PagesCycleAndPageOneKeysStayOnPageOne)
{
    Model4 w;
    std::vector<int> visited;
    for (int i = 0; i < 5; ++i) {
        w.key(Qt::Key_PageDown);
        visited.push_back(w.st->kd.pi);
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 5, 0}));
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(w.st->kd.pi, 5);
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(w.st->kd.pi, 3);
    EXPECT_EQ(w.caption(0, 0), "4A1");

    // On a later page the key-lock and fixed-function keys are hidden and
    // the arrows pass them by.
    EXPECT_TRUE(w.form->panelAt(17, 0)->isHidden());
    EXPECT_TRUE(w.form->panelAt(8, 7)->isHidden());
    w.key(Qt::Key_Left);
    EXPECT_EQ(w.current(), Cell(16, 0));
    // Each page keeps its own current key.
    w.key(Qt::Key_PageDown);
    w.key(Qt::Key_PageDown);
    EXPECT_EQ(w.st->kd.pi, 0);
    EXPECT_EQ(w.current(), Cell(0, 0));

    // A column without any usable key on this page: the arrows stop after
    // one turn and leave the key where it is.
    w.st->kd.pi = 1;
    w.st->kd.kxi[1] = 17;
    w.key(Qt::Key_Down);
    EXPECT_EQ(w.current(), Cell(17, 0));
    w.key(Qt::Key_Up);
    EXPECT_EQ(w.current(), Cell(17, 0));

    // A one-page model stays on its page.
    Window one;
    one.kb.r2a = 0xFD;
    ASSERT_TRUE(one.build());
    one.showActive();
    one.key(Qt::Key_PageDown);
    one.key(Qt::Key_PageUp);
    EXPECT_EQ(one.st->kd.pi, 0);
}

TEST(Navigation, CtrlRAndCtrlWRunOnceWhenCtrlIsReleased)
{
    Model4 w;
    int reads = 0, writes = 0;
    // Each command shows its text when it starts and puts it back when it ends.
    const auto count = [&] {
        reads = w.pf.count("progress text Reading 8K Data from the Keyboard... 0000FF") / 2;
        writes = w.pf.count("progress text Writing 8K Data to the Keyboard... 0000FF") / 2;
    };
    QWidget* f = QApplication::focusWidget();
    ASSERT_NE(f, nullptr);

    auto release = [f](Qt::Key k) {
        QKeyEvent e(QEvent::KeyRelease, k, k == Qt::Key_Control ? Qt::NoModifier : Qt::ControlModifier);
        QApplication::sendEvent(f, &e);
    };
    QTest::keyPress(f, Qt::Key_R, Qt::ControlModifier);  // Ctrl, then R: the menu shortcut fires here
    count();
    EXPECT_EQ(reads, 0);
    release(Qt::Key_R);
    count();
    EXPECT_EQ(reads, 0);
    release(Qt::Key_Control);
    count();
    EXPECT_EQ(reads, 1);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    count();
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(reads, 1);

    // Ctrl let go before W: still one write, when Ctrl goes up.
    f = QApplication::focusWidget();
    QTest::keyPress(f, Qt::Key_W, Qt::ControlModifier);
    release(Qt::Key_Control);
    count();
    EXPECT_EQ(writes, 2);
    release(Qt::Key_W);
    count();
    EXPECT_EQ(writes, 2);

    // Ctrl alone leaves nothing pending: the menu item then runs at once.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Control);
    EXPECT_EQ(w.form->ctrl_f, 0);
    w.form->Read1->trigger();
    count();
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(writes, 2);
}

TEST(Navigation, EscapeAsksBeforeQuitting)
{
    Model4 w;
    w.pf.box_answer = IDCANCEL;
    // The question says what changed since the last Save (or Read, Write, Load).
    const auto asked = [&](const std::string& changes) {
        w.key(Qt::Key_Escape);
        EXPECT_EQ(w.pf.only("box ").back(), "box Tessaral POS Keyboard | Quit the program?" + changes + " | 1");
    };
    asked("");
    keyCell(w.st->kd.hbuf, 0, 0, 0) = "abc";
    keyCell(w.st->kd.kcap, 0, 0, 1) = "Tax";
    w.st->rg.r27 = 77;
    asked("\n\n2 keys and the keyboard settings changed since the last Save or Write.");
    EXPECT_TRUE(w.form->isVisible());
    EXPECT_EQ(keyCell(w.st->kd.hbuf, 0, 0, 0), "abc");
    EXPECT_EQ(w.current(), Cell(0, 0));
    w.pf.files = {w.file("saved.tpl")};
    w.form->Save1Click();
    asked("");
    keyCell(w.st->kd.hbuf, 0, 0, 0).clear();
    asked("\n\n1 key changed since the last Save or Write.");

    w.pf.box_answer = IDOK;
    w.key(Qt::Key_Escape);
    EXPECT_FALSE(w.form->isVisible());
}

TEST(Navigation, KeyClipboardFromTheKeyboard)
{
    Model4 w;
    KeyData& kd = w.st->kd;
    keyCell(kd.hbuf, 0, 0, 0) = "{ESC}1";
    w.form->synckeys();
    EXPECT_EQ(w.form->ked[0]->text(), "{ESC}1");

    w.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(kd.tbuf, "{ESC}1");
    w.key(Qt::Key_Right);
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(keyCell(kd.hbuf, 0, 1, 0), "{ESC}1");
    EXPECT_EQ(w.form->panelAt(1, 0)->hint(), "{ESC}1");
    EXPECT_EQ(w.form->ked[0]->text(), "{ESC}1");

    // Delete clears the key and keeps its text on the clipboard.
    keyCell(kd.hbuf, 0, 1, 0) = "xyz";
    w.form->synckeys();
    w.key(Qt::Key_Delete);
    EXPECT_EQ(keyCell(kd.hbuf, 0, 1, 0), "");
    EXPECT_EQ(kd.tbuf, "xyz");
    EXPECT_EQ(w.form->ked[0]->text(), "");
    EXPECT_TRUE(w.form->panelAt(1, 0)->hint().isEmpty());
    // Clearing an empty key keeps the clipboard; pasting brings the text back.
    w.key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(kd.tbuf, "xyz");
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(keyCell(kd.hbuf, 0, 1, 0), "xyz");
    // The other key shows it holds a macro: bold yellow caption.
    w.key(Qt::Key_Left);
    EXPECT_EQ(w.form->panelAt(1, 0)->face(), (KeyPanel::Face{clBtnFace, true, false, clYellow}));

    // Return opens the current key's text box, Ctrl+Return its name box.
    w.key(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w.form->ked[0]);
    w.form->Edit1->setFocus();
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), w.form->kpe[0]);
}
