// Editing the keys as a user does: typing into the row boxes, the mouse and
// drags, the page and key commands, the special-key menu and undo.
#include "device/usb.h"
#include "tests/ui/window_fixture.h"
#include "ui/colours.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QStatusBar>

using namespace ptu;
using namespace ptu::test;

namespace {

using Cell = std::pair<int, int>;

struct Model4 : ShownWindow {
    KeyPanel* panel(int col, int row) { return form->panelAt(col, row); }
    QLineEdit* box(int row) { return form->ked[size_t(row)]; }
    // Return on the current key, then typing into its text box.
    void type(const QString& s)
    {
        key(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), box(current().second));
        QTest::keyClicks(QApplication::focusWidget(), s);
    }
    QAction* token(const std::string& t)
    {
        for (auto& [a, tok] : form->tokenItems)
            if (tok == t) return a;
        return nullptr;
    }
};

const KeyPanel::Face kProgrammed{clBtnFace, true, false, clYellow};
const KeyPanel::Face kEmpty{clBtnFace, false, false, clBlack};

}  // namespace

TEST(Editing, TypingCommitsEscapeRestores)
{
    Model4 w;
    w.type("{ enter }");
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(0, 0, 0), "{ENTER}");
    EXPECT_EQ(w.panel(0, 0)->hint(), "{ENTER}");
    EXPECT_EQ(QApplication::focusWidget(), w.form->Edit1);
    w.key(Qt::Key_Right);
    EXPECT_EQ(w.panel(0, 0)->face(), kProgrammed);

    // Escape after typing puts the stored text back.
    w.key(Qt::Key_Left);
    w.type("xyz");
    w.key(Qt::Key_Escape);
    EXPECT_EQ(w.text(0, 0, 0), "{ENTER}");
    EXPECT_EQ(w.box(0)->text(), "{ENTER}");
    EXPECT_TRUE(w.form->isVisible());  // the window's Escape (quit) stays out of it

    // Emptying the box and Return stores an empty macro: regular black caption.
    w.type("");
    w.box(0)->clear();
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(0, 0, 0), "");
    w.key(Qt::Key_Right);
    EXPECT_EQ(w.panel(0, 0)->face(), kEmpty);

    // The key name box: Ctrl+Return, type, Return.
    w.key(Qt::Key_Left);
    w.key(Qt::Key_Return, Qt::ControlModifier);
    w.form->kpe[0]->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "Cash");
    w.key(Qt::Key_Return);
    EXPECT_EQ(keyCell(w.st->kd.kcap, 0, 0, 0), "Cash");
    EXPECT_EQ(w.caption(0, 0), "Cash");
}

TEST(Editing, ArrowAndPageKeysCommitAndMove)
{
    Model4 w;
    // Column A has rows 1..3: Down from row 3 wraps to row 1 and commits.
    w.key(Qt::Key_Up);
    EXPECT_EQ(w.current(), Cell(0, 2));
    w.type("abc");
    w.key(Qt::Key_Down);
    EXPECT_EQ(w.text(0, 0, 2), "abc");
    EXPECT_EQ(w.current(), Cell(0, 0));
    EXPECT_EQ(QApplication::focusWidget(), w.form->Edit1);

    // Page Down while editing on page 4 shows page P; Page Up comes back.
    w.form->viewPage(3);
    w.type("p4");
    w.key(Qt::Key_PageDown);
    EXPECT_EQ(w.st->kd.pi, 5);
    EXPECT_EQ(w.text(3, 0, 0), "p4");
    w.type("pp");
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(w.st->kd.pi, 3);
    EXPECT_EQ(w.text(5, 0, 0), "pp");
    EXPECT_EQ(w.box(0)->text(), "p4");
}

TEST(Editing, ClickingAnotherKeyCommitsBothBoxesFirst)
{
    Model4 w;
    w.key(Qt::Key_Return, Qt::ControlModifier);
    w.form->kpe[0]->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "Tax");
    w.form->ked[0]->setText("{tab}9");  // typed into the text box too
    QTest::mouseClick(w.panel(3, 1), Qt::LeftButton);
    EXPECT_EQ(keyCell(w.st->kd.kcap, 0, 0, 0), "Tax");
    EXPECT_EQ(w.text(0, 0, 0), "{TAB}9");
    EXPECT_EQ(w.current(), Cell(3, 1));
    EXPECT_EQ(w.panel(3, 1)->face().colour, clFuchsia);

    // A double click opens the key's text box; the right button too.
    QTest::mouseDClick(w.panel(5, 2), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), w.box(2));
    EXPECT_EQ(w.current(), Cell(5, 2));
    EXPECT_EQ(w.st->kd.edit_f, 1);
    EXPECT_TRUE(w.form->popupAttached());
    w.form->Edit1->setFocus();
    EXPECT_FALSE(w.form->popupAttached());
}

TEST(Editing, DragsMoveCopyAndClearThroughTheClipboard)
{
    Model4 w;
    KeyData& kd = w.st->kd;
    auto drag = [&](Cell from, Cell to, Qt::MouseButton button) {
        w.form->aKeyMouseDown(w.panel(from.first, from.second), button, false, QPoint(5, 5));
        w.form->aKeyDragOver(w.panel(to.first, to.second), w.panel(from.first, from.second));
        w.form->aKeyDragDrop(w.panel(to.first, to.second), w.panel(from.first, from.second));
        w.form->aKeyEndDrag(w.panel(from.first, from.second));
    };
    w.text(0, 0, 0) = "A";
    w.form->synckeys();

    drag({0, 0}, {1, 0}, Qt::LeftButton);  // move
    EXPECT_EQ(w.text(0, 0, 0), "");
    EXPECT_EQ(w.text(0, 1, 0), "A");
    EXPECT_EQ(kd.tbuf, "A");
    EXPECT_EQ(w.current(), Cell(1, 0));
    EXPECT_EQ(w.panel(0, 0)->face(), kEmpty);

    drag({1, 0}, {2, 0}, Qt::RightButton);  // copy
    EXPECT_EQ(w.text(0, 1, 0), "A");
    EXPECT_EQ(w.text(0, 2, 0), "A");

    kd.tbuf = "old";
    drag({5, 0}, {6, 0}, Qt::LeftButton);  // an empty key brings what the clipboard held
    EXPECT_EQ(w.text(0, 6, 0), "old");

    drag({2, 0}, {2, 0}, Qt::LeftButton);  // onto itself: unchanged
    EXPECT_EQ(w.text(0, 2, 0), "A");

    // Dropped on the background (a right drag too): cleared, and Paste Key restores it.
    w.form->aKeyMouseDown(w.panel(2, 0), Qt::RightButton, false, QPoint(5, 5));
    w.form->FormDragDrop(w.panel(2, 0));
    EXPECT_EQ(w.text(0, 2, 0), "");
    EXPECT_EQ(kd.tbuf, "A");
    w.form->Edit1->setFocus();
    w.form->PasteKey1->trigger();
    EXPECT_EQ(w.text(0, 2, 0), "A");

    // A press and release without moving only selects.
    QTest::mouseClick(w.panel(7, 1), Qt::LeftButton);
    EXPECT_EQ(w.current(), Cell(7, 1));
    EXPECT_EQ(w.text(0, 7, 1), "");
}

TEST(Editing, PageCommands)
{
    Model4 w;
    for (int p : {0, 1, 4, 5}) w.text(p, 0, 0) = "x";
    w.form->All1->trigger();
    for (int p : {0, 1, 4, 5}) EXPECT_EQ(w.text(p, 0, 0), "") << p;

    // Copying the current page: onto another page, and onto itself, which
    // changes no text but puts the fixed texts back and refreshes.
    w.text(0, 3, 1) = "copy me";
    w.form->CopyPageItem[2]->trigger();
    EXPECT_EQ(w.text(2, 3, 1), "copy me");
    Window pad;  // "-8": the numeric pad has fixed texts
    pad.st->fl.m84_f = 1;
    ASSERT_TRUE(pad.build());
    const std::string fixed = keyCell(pad.st->kd.hbuf, 0, 11, 2);
    EXPECT_FALSE(fixed.empty());
    keyCell(pad.st->kd.hbuf, 0, 11, 2) = "typed over";
    keyCell(pad.st->kd.hbuf, 0, 0, 0) = "mine";
    pad.form->CopyPageItem[0]->trigger();
    EXPECT_EQ(keyCell(pad.st->kd.hbuf, 0, 11, 2), fixed);
    EXPECT_EQ(keyCell(pad.st->kd.hbuf, 0, 0, 0), "mine");
    EXPECT_EQ(pad.form->panelAt(0, 0)->hint(), "mine");

    // View: a page the model lacks does nothing.
    Window one;
    one.kb.r2a = 0xFD;
    ASSERT_TRUE(one.build());
    EXPECT_FALSE(one.form->ViewPageItem[1]->isEnabled());
    EXPECT_FALSE(one.form->CopyPageItem[1]->isEnabled());  // no pages nobody sees
    one.form->viewPage(1);
    EXPECT_EQ(one.st->kd.pi, 0);
    w.key(Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(w.st->kd.pi, 5);

    // Paste Text with an empty text clipboard still stores the box's line.
    w.form->viewPage(0);
    w.type("first");
    w.form->PasteText1->trigger();
    EXPECT_EQ(w.text(0, 0, 0), "first");
    // Copy Text keeps a final 0x13 in the clipboard, drops it in the box.
    w.box(0)->setText(QString("ab") + QChar(0x13));
    w.box(0)->selectAll();
    w.form->CopyText1->trigger();
    EXPECT_EQ(w.st->kd.textclip, std::string("ab\x13"));
    EXPECT_EQ(w.box(0)->text(), "ab");
}

TEST(Editing, SpecialKeyMenu)
{
    Model4 w;
    EXPECT_EQ(w.form->tokenItems.size(), 92u);
    w.type("12345");
    w.box(0)->setSelection(1, 2);
    w.token("{Delay5}")->trigger();
    EXPECT_EQ(w.box(0)->text(), "1{Delay5}45");
    w.token("{LDLM}")->trigger();
    EXPECT_EQ(w.box(0)->text(), "1{Delay5}{LDLM}45");
    EXPECT_EQ(w.text(0, 0, 0), "");  // stored only when the box is committed
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(0, 0, 0), "1{DELAY5}{LDLM}45");

    EXPECT_FALSE(w.token("{Span.3}")->isVisible());
    EXPECT_FALSE(w.form->VirtualKeys1->isEnabled());  // a port keyboard
    for (QAction* d : w.form->Delay) EXPECT_TRUE(d->isEnabled());

    Window usb;
    usb.st->fl.usb_f = 1;
    AskConfig(*usb.st, usb.pf, [](State& s) { s.rg.r2a = 0x69; s.fl.cancel_f = 0; });
    ASSERT_TRUE(usb.build());
    EXPECT_TRUE(usb.form->VirtualKeys1->isEnabled());
    EXPECT_FALSE(usb.form->WinceF7->isEnabled());
    for (QAction* d : usb.form->Delay) EXPECT_FALSE(d->isEnabled());

    // Another keyboard language loses the Japanese keys.
    Window de;
    de.form = std::make_unique<TForm1>(*de.st, de.pf, TForm1::Setup{{0x407, 0x407, 0x407}, {}, {}, {}, {}});
    EXPECT_FALSE(de.form->Ro1->isEnabled());
    EXPECT_FALSE(de.form->WinceF7->isEnabled());
}

TEST(Editing, UndoTakesChangesBackInReverseOrder)
{
    Model4 w;
    w.type("row text");
    w.key(Qt::Key_Return);
    w.text(1, 0, 0) = "page two";
    w.form->ClearPageItem[1]->trigger();
    w.form->aKeyMouseDown(w.panel(0, 0), Qt::LeftButton, false, QPoint(5, 5));
    w.form->aKeyDragDrop(w.panel(4, 1), w.panel(0, 0));
    EXPECT_EQ(w.text(0, 4, 1), "row text");
    EXPECT_EQ(w.text(0, 0, 0), "");

    w.key(Qt::Key_Z, Qt::ControlModifier);  // the drop
    EXPECT_EQ(w.text(0, 0, 0), "row text");
    EXPECT_EQ(w.text(0, 4, 1), "");
    EXPECT_EQ(w.panel(0, 0)->hint(), "row text");
    w.key(Qt::Key_Z, Qt::ControlModifier);  // the page clear
    EXPECT_EQ(w.text(1, 0, 0), "page two");
    w.key(Qt::Key_Z, Qt::ControlModifier);  // the commit
    EXPECT_EQ(w.text(0, 0, 0), "");
    EXPECT_FALSE(w.form->Undo1->isEnabled());

    // Inside a box Ctrl+Z undoes the typing there, not a key change.
    w.text(0, 9, 2) = "kept";
    w.form->Current1->trigger();
    w.type("ab");
    w.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.box(0)->text(), "");
    EXPECT_EQ(w.form->undoHistory().next(), "Clear Page");
}

TEST(Editing, LongTextsAreNeverCutSilently)
{
    Model4 w;
    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "{ENTER}";
    w.text(0, 0, 0) = longText;  // 420 characters, as a data file may hold
    w.form->synckeys();
    EXPECT_EQ(w.box(0)->text().size(), int(longText.size()));
    // Passing through the box without changing it keeps it whole.
    w.key(Qt::Key_Return);
    w.key(Qt::Key_Down);
    EXPECT_EQ(w.text(0, 0, 0), longText);

    // A changed text past what a key holds: the rest is dropped and said.
    w.key(Qt::Key_Up);
    w.key(Qt::Key_Return);
    w.key(Qt::Key_End);
    w.key(Qt::Key_Backspace);
    w.key(Qt::Key_Return);
    EXPECT_LT(w.text(0, 0, 0).size(), longText.size());
    EXPECT_TRUE(w.form->statusBar()->currentMessage().contains("dropped"));
}
