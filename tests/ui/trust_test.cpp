// The window changes only what the user changed: national characters kept
// byte for byte, commits that land on their own key, drops and tokens that
// do what they say, Read and Write only when asked, and a word before
// unsaved work is lost.
#include "keydata/charset.h"
#include "keydata/encode.h"
#include "keydata/keypos.h"
#include "tests/ui/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

using namespace ptu;
using namespace ptu::test;

namespace {

using Cell = std::pair<int, int>;

struct Shown : Window {
    explicit Shown(uint16_t language = 0x409)
    {
        lang = {language, language, language};
        EXPECT_TRUE(build());
        showActive();
    }
    RowBox* box(int row) { return form->ked[size_t(row)]; }
    KeyPanel* panel(Cell c) { return form->panelAt(c.first, c.second); }
    bool usable(int page, int col, int row) const { return keyUse(*st, page, col, row) == KEY_USABLE; }
    // Return on the current key, then typing into its text box.
    void type(const QString& s)
    {
        key(Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), box(current().second));
        typeInto(QApplication::focusWidget(), s);
    }
    // Keys that type the characters of s (QTest knows ASCII keys only).
    static void typeInto(QWidget* w, const QString& s)
    {
        for (QChar c : s) {
            if (c.unicode() < 0x80) QTest::keyClick(w, char(c.unicode()));
            else QTest::sendKeyEvent(QTest::Click, w, Qt::Key(0), QString(c), Qt::NoModifier);
        }
    }
    void select(Cell c) { QTest::mouseClick(panel(c), Qt::LeftButton); }
    std::string status() const { return form->statusBar()->currentMessage().toStdString(); }
    int commands(const char* text) const { return pf.count(std::string("progress text ") + text + " 0000FF") / 2; }
    int writes() const { return commands("Writing 8K Data to the Keyboard..."); }
    int reads() const { return commands("Reading 8K Data from the Keyboard..."); }
};

// The screen form of bytes, as a user types them.
QString screen(TableSetId set, const std::string& bytes) { return QString::fromStdString(screenText(set, bytes)); }

// Closes whatever menu the next event loop pass finds open (a menu's exec
// would wait for the user).
void closeMenusSoon()
{
    QTimer::singleShot(50, [] {
        if (QWidget* m = QApplication::activePopupWidget()) m->close();
    });
}

struct LocaleCase {
    TableSetId set;
    uint16_t language;
};
constexpr LocaleCase kLocales[] = {
    {TableSetId::us, 0x0409}, {TableSetId::uk, 0x0809}, {TableSetId::es, 0x0C0A}, {TableSetId::pt, 0x0816},
    {TableSetId::no, 0x0414}, {TableSetId::it, 0x0410}, {TableSetId::de, 0x0407}, {TableSetId::fr, 0x040C},
};

TEST(Trust, EveryLocaleSetKeepsItsCharactersByteForByte)
{
    for (const LocaleCase& lc : kLocales) {
        SCOPED_TRACE(keyboardName(lc.set));
        Shown w(lc.language);
        ASSERT_EQ(w.st->loc.tset, lc.set);
        // Every character of the set's table (braces would open tokens).
        std::string chars, codes;
        for (const CharRow& r : tableSet(lc.set).nok2) {
            if (r.ch == '{' || r.ch == '}' || chars.find(char(r.ch)) != std::string::npos) continue;
            chars += char(r.ch);
            for (uint8_t b : r.code) {
                if (!b) break;
                codes += char(b);
            }
        }
        // Shown and committed unchanged: the same bytes.
        w.text(0, 0, 0) = chars;
        w.form->synckeys();
        w.key(Qt::Key_Return);
        w.key(Qt::Key_Return);
        EXPECT_EQ(w.text(0, 0, 0), chars);
        // Typed: each character gives its row's code sequence.
        w.text(0, 1, 0).clear();
        w.form->synckeys();
        w.key(Qt::Key_Right);
        w.type(screen(lc.set, chars));
        w.key(Qt::Key_Return);
        EXPECT_EQ(w.text(0, 1, 0), chars);
        EXPECT_EQ(ttos(*w.st, w.text(0, 1, 0)), codes);
        // A character the set has no byte for is not taken.
        w.type("ł");
        EXPECT_EQ(w.box(0)->text(), screen(lc.set, chars));
        EXPECT_EQ(w.status(), std::string("ł is not on the ") + keyboardName(lc.set) + " keyboard: not stored");
        w.key(Qt::Key_Escape);
    }
}

TEST(Trust, AnEditKeepsTheBytesItDidNotTouchAndADragMovesThem)
{
    Shown w(0x0407);
    const std::string umlauts = "\xE4\xF6\xFC\xDF";
    w.text(0, 0, 0) = umlauts;
    w.form->synckeys();
    EXPECT_EQ(w.box(0)->text(), QString("äöüß"));
    w.type("x");  // the caret stands at the end
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(0, 0, 0), umlauts + "x");

    w.form->aKeyMouseDown(w.panel({0, 0}), Qt::LeftButton, false, QPoint(5, 5));
    w.form->aKeyDragDrop(w.panel({1, 0}), w.panel({0, 0}));
    EXPECT_EQ(w.text(0, 1, 0), umlauts + "x");
    EXPECT_EQ(w.st->kd.tbuf, umlauts + "x");
    EXPECT_EQ(w.text(0, 0, 0), "");
}

TEST(Trust, ACommitLandsOnItsOwnKeyOnly)
{
    Shown w;
    // A key in a row that another column lacks, and a key of that column.
    Cell edited{-1, -1}, other{-1, -1};
    // (It has a second key in its row, for the drop below.)
    const auto keysInRow = [&](int r) {
        int n = 0;
        for (int c = 0; c < kCols; ++c) n += w.usable(0, c, r);
        return n;
    };
    for (int r = 0; r < kRows && edited.first < 0; ++r)
        for (int c = 0; c < kCols && edited.first < 0; ++c)
            for (int c2 = 0; c2 < kCols && w.usable(0, c, r) && keysInRow(r) > 1; ++c2)
                if (!w.usable(0, c2, r) && w.usable(0, c2, 0) && c2 != c) {
                    edited = {c, r};
                    other = {c2, 0};
                    break;
                }
    ASSERT_GE(edited.first, 0);
    const PageTexts before = w.st->kd.hbuf;
    auto onlyChanged = [&](int page, Cell c) {
        PageTexts expected = before;
        expected[size_t(page)][size_t(c.second)][size_t(c.first)] = w.text(page, c.first, c.second);
        return w.st->kd.hbuf == expected;
    };

    // Typing, then a click on a key of the other column.
    w.select(edited);
    w.type("typed");
    w.select(other);
    EXPECT_EQ(w.text(0, edited.first, edited.second), "typed");
    EXPECT_TRUE(onlyChanged(0, edited));

    // Typing on page 1 in a row page 2 lacks, then Page Down.
    Cell pageOnly{-1, -1};
    for (int r = 0; r < kRows && pageOnly.first < 0; ++r)
        for (int c = 0; c < kCols; ++c)
            if (w.usable(0, c, r) && !w.usable(1, c, r)) {
                pageOnly = {c, r};
                break;
            }
    ASSERT_GE(pageOnly.first, 0);
    w.st->kd.hbuf = before;
    w.form->synckeys();
    w.select(pageOnly);
    w.type("page one");
    w.key(Qt::Key_PageDown);
    EXPECT_EQ(w.st->kd.pi, 1);
    EXPECT_EQ(w.text(0, pageOnly.first, pageOnly.second), "page one");
    EXPECT_TRUE(onlyChanged(0, pageOnly));

    // An edit ended by a right-button press on another key of its row, then
    // that key dropped on the other column: one step for the drop, one for
    // the edit, and the hidden cell untouched.
    w.key(Qt::Key_PageUp);
    w.st->kd.hbuf = before;
    Cell source{-1, -1};
    for (int c = 0; c < kCols; ++c)
        if (c != edited.first && w.usable(0, c, edited.second)) source = {c, edited.second};
    ASSERT_GE(source.first, 0);
    w.text(0, source.first, source.second) = "source";
    w.form->synckeys();
    w.select(edited);
    w.type("typed again");
    w.form->aKeyMouseDown(w.panel(source), Qt::RightButton, false, QPoint(5, 5));
    EXPECT_EQ(QApplication::focusWidget(), w.box(source.second));
    w.form->aKeyDragOver(w.panel(other), w.panel(source));
    w.form->aKeyDragDrop(w.panel(other), w.panel(source));
    w.form->aKeyEndDrag(w.panel(source));
    EXPECT_EQ(w.text(0, other.first, other.second), "source");
    EXPECT_EQ(w.text(0, other.first, edited.second), before[0][size_t(edited.second)][size_t(other.first)]);
    EXPECT_EQ(w.form->undoHistory().next(), "Copy Key");
    w.form->Undo1Click();
    EXPECT_EQ(w.text(0, other.first, other.second), "");
    EXPECT_EQ(w.text(0, edited.first, edited.second), "typed again");
    EXPECT_EQ(w.form->undoHistory().next(), "Edit Key");
}

TEST(Trust, DropsAndTokensDoWhatTheySay)
{
    Shown w;
    // A key dropped on itself stays as it is.
    w.st->kd.tbuf = "old";
    w.form->aKeyMouseDown(w.panel({3, 0}), Qt::LeftButton, false, QPoint(5, 5));
    EXPECT_FALSE(w.form->aKeyDragOver(w.panel({3, 0}), w.panel({3, 0})));
    w.form->aKeyDragDrop(w.panel({3, 0}), w.panel({3, 0}));
    EXPECT_EQ(w.text(0, 3, 0), "");

    // A token that does not fit whole is not inserted.
    w.type(QString(246, 'a'));
    QAction* separator = nullptr;
    for (auto& [a, t] : w.form->tokenItems)
        if (t == "{Separator}") separator = a;
    separator->trigger();
    EXPECT_EQ(w.box(0)->text(), QString(246, 'a'));
    EXPECT_NE(w.status().find("{Separator} does not fit"), std::string::npos) << w.status();
    w.key(Qt::Key_Escape);

    // What the box had no room for counts as dropped, in the right number.
    const struct {
        int typed;
        const char* said;
    } cases[] = {{400, "145 characters were dropped"}, {256, "1 character was dropped"}};
    for (const auto& c : cases) {
        w.type(QString(c.typed, 'b'));
        w.key(Qt::Key_Return);
        EXPECT_EQ(w.text(0, 3, 0), std::string(255, 'b'));
        EXPECT_NE(w.status().find(c.said), std::string::npos) << c.typed << ": " << w.status();
        w.text(0, 3, 0).clear();
        w.form->synckeys();
    }
}

TEST(Trust, PageCommandsStoreWhatIsBeingTyped)
{
    Shown w;
    w.type("viewed");
    w.form->ViewPageItem[1]->trigger();
    EXPECT_EQ(w.text(0, 0, 0), "viewed");
    EXPECT_EQ(w.st->kd.pi, 1);
    w.form->ViewPageItem[0]->trigger();

    w.key(Qt::Key_Right);
    w.type("cleared elsewhere");
    w.form->ClearPageItem[2]->trigger();
    EXPECT_EQ(w.text(0, 1, 0), "cleared elsewhere");

    w.key(Qt::Key_Right);
    w.type("copied");
    w.form->CopyPageItem[3]->trigger();
    EXPECT_EQ(w.text(0, 2, 0), "copied");
    EXPECT_EQ(w.text(3, 2, 0), "copied");
}

TEST(Trust, MouseButtonsWhileEditing)
{
    Shown w;
    // The right button on the background opens the menu and keeps the editing.
    w.type("kept");
    closeMenusSoon();
    QTest::mouseClick(w.form->Client, Qt::RightButton, {}, QPoint(w.form->Client->width() / 2, 5 * w.form->Client->height() / 6));
    EXPECT_EQ(QApplication::focusWidget(), w.box(0));
    EXPECT_EQ(w.st->kd.edit_f, 1);
    w.key(Qt::Key_Escape);

    // The right button on a key-text box while a name is edited: the name
    // box of that row.
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(w.st->kd.edit_f, 2);
    closeMenusSoon();
    QTest::mouseClick(w.box(2), Qt::RightButton);
    EXPECT_EQ(QApplication::focusWidget(), w.form->kpe[2]);
    EXPECT_EQ(w.st->kd.edit_f, 2);
    w.key(Qt::Key_Escape);

    // After an Escape, an edit made with the menu alone is stored on leaving.
    w.select({0, 0});
    w.type("x");
    w.key(Qt::Key_Escape);
    EXPECT_EQ(w.text(0, 0, 0), "");
    w.key(Qt::Key_Return);
    for (auto& [a, t] : w.form->tokenItems)
        if (t == "{ESC}") a->trigger();
    QTest::mouseClick(w.box(1), Qt::LeftButton);
    EXPECT_EQ(w.text(0, 0, 0), "{ESC}");
}

TEST(Trust, ReadAndWriteRunOnlyWhenAsked)
{
    Shown w;
    // Ctrl pressed here and let go in a dialog: nothing is left pending.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Control);
    EXPECT_EQ(w.form->ctrl_f, 1);
    QDialog d(w.form.get());
    QTimer::singleShot(50, &d, [&d] {
        QTest::keyRelease(&d, Qt::Key_Control);
        d.reject();
    });
    d.exec();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    EXPECT_EQ(w.form->ctrl_f, 0);
    // The menu's Write then runs at once, once.
    w.form->Write1->trigger();
    EXPECT_EQ(w.writes(), 1);
    // No later key starts another.
    w.type("x");
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Control);
    EXPECT_EQ(w.writes(), 1);
    EXPECT_EQ(w.reads(), 0);

    // Ctrl+R pressed, then the window loses the activation: no read.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_R, Qt::ControlModifier);
    QDialog e(w.form.get());
    QTimer::singleShot(50, &e, &QDialog::reject);
    e.exec();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_R, Qt::ControlModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
    EXPECT_EQ(w.reads(), 0);
}

TEST(Trust, QuittingSaysWhatWasNotSaved)
{
    Shown w;
    w.pf.box_answer = IDCANCEL;
    const auto asked = [&] { return w.pf.only("box ").back(); };
    w.key(Qt::Key_Escape);
    EXPECT_EQ(asked(), "box Tessaral POS Keyboard | Quit the program? | 1");

    w.type("one");
    w.key(Qt::Key_Return);
    w.key(Qt::Key_Right);
    w.key(Qt::Key_Return, Qt::ControlModifier);
    Shown::typeInto(QApplication::focusWidget(), "x");
    w.key(Qt::Key_Return);
    w.key(Qt::Key_Escape);
    EXPECT_EQ(asked(), "box Tessaral POS Keyboard | Quit the program?\n\n2 keys changed since the last Save or Write. | 1");

    w.st->rg.r27 = 77;
    w.form->close();  // the window manager's close asks the same
    EXPECT_EQ(asked(), "box Tessaral POS Keyboard | Quit the program?\n\n2 keys and the keyboard settings changed "
                       "since the last Save or Write. | 1");

    w.pf.files = {w.file("saved.tpl")};
    w.form->Save1Click();
    w.key(Qt::Key_Escape);
    EXPECT_EQ(asked(), "box Tessaral POS Keyboard | Quit the program? | 1");
    w.form->Undo1Click();  // back to what the file does not hold
    w.key(Qt::Key_Escape);
    EXPECT_EQ(asked(), "box Tessaral POS Keyboard | Quit the program?\n\n1 key changed since the last Save or Write. | 1");
}

}  // namespace
