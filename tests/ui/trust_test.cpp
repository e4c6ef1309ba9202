// The window changes only what the user changed: national characters kept
// byte for byte, commits on their own key, drops and tokens that do what they
// say, Read and Write only when asked.
#include "keydata/charset.h"
#include "keydata/encode.h"
#include "tests/ui/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QStatusBar>
#include <QTimer>

using namespace ptu;
using namespace ptu::test;

namespace {

using Cell = std::pair<int, int>;
// Model 4: RES stands alone in column 8 of row 7, SbT beside it in column 14;
// column 0 has no key in row 7, and page 2 none in row 7 at all.
constexpr Cell kRes{8, 7}, kSbt{14, 7}, kA1{0, 0};

struct Shown : Window {
    explicit Shown(uint16_t language = 0x409)
    {
        lang = {language, language, language};
        EXPECT_TRUE(build());
        showActive();
    }
    RowBox* box(int row) { return form->ked[size_t(row)]; }
    KeyPanel* panel(Cell c) { return form->panelAt(c.first, c.second); }
    std::string& at(Cell c, int page = 0) { return text(page, c.first, c.second); }
    void select(Cell c) { QTest::mouseClick(panel(c), Qt::LeftButton); }
    // Return on the current key, then keys that type s (QTest knows ASCII keys only).
    void type(const QString& s)
    {
        key(Qt::Key_Return);
        for (QChar c : s) {
            if (c.unicode() < 0x80) QTest::keyClick(QApplication::focusWidget(), char(c.unicode()));
            else QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(0), QString(c), {});
        }
    }
    void token(const std::string& t)
    {
        for (auto& [a, tok] : form->tokenItems)
            if (tok == t) a->trigger();
    }
    std::string status() const { return form->statusBar()->currentMessage().toStdString(); }
    int runs(const char* text) const { return pf.count(std::string("progress text ") + text + " 0000FF") / 2; }
    int writes() const { return runs("Writing 8K Data to the Keyboard..."); }
    int reads() const { return runs("Reading 8K Data from the Keyboard..."); }
    // A modal window of the program, open while `inside` runs.
    void dialog(const std::function<void(QDialog&)>& inside)
    {
        QDialog d(form.get());
        QTimer::singleShot(50, &d, [&] {
            inside(d);
            d.reject();
        });
        d.exec();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
};

TEST(Trust, EveryLocaleSetKeepsItsCharactersByteForByte)
{
    const struct {
        TableSetId set;
        uint16_t language;
    } locales[] = {{TableSetId::us, 0x0409}, {TableSetId::uk, 0x0809}, {TableSetId::es, 0x0C0A},
                   {TableSetId::pt, 0x0816}, {TableSetId::no, 0x0414}, {TableSetId::it, 0x0410},
                   {TableSetId::de, 0x0407}, {TableSetId::fr, 0x040C}};
    for (const auto& lc : locales) {
        SCOPED_TRACE(keyboardName(lc.set));
        Shown w(lc.language);
        // Every character of the set's table (braces would open tokens), and
        // the code sequences its first rows give them.
        std::string chars, codes;
        for (const CharRow& r : tableSet(lc.set).nok2) {
            if (r.ch == '{' || r.ch == '}' || chars.find(char(r.ch)) != std::string::npos) continue;
            chars += char(r.ch);
            for (size_t i = 0; i < r.code.size() && r.code[i]; ++i) codes += char(r.code[i]);
        }
        w.at(kA1) = chars;  // shown and committed unchanged
        w.form->synckeys();
        w.key(Qt::Key_Return);
        w.key(Qt::Key_Return);
        EXPECT_EQ(w.at(kA1), chars);
        w.key(Qt::Key_Right);  // typed
        w.type(QString::fromStdString(screenText(lc.set, chars)));
        w.key(Qt::Key_Return);
        EXPECT_EQ(ttos(*w.st, w.text(0, 1, 0)), codes);
        w.type("ł");  // a character the set lacks
        EXPECT_EQ(w.box(0)->text().toStdString(), screenText(lc.set, chars));
        EXPECT_EQ(w.status(), std::string("ł is not on the ") + keyboardName(lc.set) + " keyboard: not stored");
        w.key(Qt::Key_Escape);
    }
    // An edit keeps the bytes it did not touch; a drag moves them as they are.
    Shown de(0x0407);
    de.at(kA1) = "\xE4\xF6\xFC\xDF";
    de.form->synckeys();
    de.type("x");
    de.key(Qt::Key_Return);
    EXPECT_EQ(de.at(kA1), "\xE4\xF6\xFC\xDF" "x");
    de.form->aKeyMouseDown(de.panel(kA1), Qt::LeftButton, false, QPoint(5, 5));
    de.form->aKeyDragDrop(de.panel({1, 0}), de.panel(kA1));
    EXPECT_EQ(de.text(0, 1, 0), "\xE4\xF6\xFC\xDF" "x");
}

TEST(Trust, ACommitLandsOnItsOwnKeyOnly)
{
    Shown w;
    const PageTexts before = w.st->kd.hbuf;
    const auto onlyChanged = [&](Cell c) {
        PageTexts expected = before;
        expected[0][size_t(c.second)][size_t(c.first)] = w.at(c);
        return w.st->kd.hbuf == expected;
    };
    // A click on a column that lacks the edited row.
    w.select(kRes);
    w.type("typed");
    w.select(kA1);
    EXPECT_EQ(w.at(kRes), "typed");
    EXPECT_TRUE(onlyChanged(kRes));
    // Page Down onto a page that lacks the edited row.
    w.select(kRes);
    w.type(" more");
    w.key(Qt::Key_PageDown);
    EXPECT_EQ(w.at(kRes), "typed more");
    EXPECT_TRUE(onlyChanged(kRes));
    // A right press on another key of the row ends the edit; that key dropped
    // on a column that lacks the row: one step each, the hidden cell untouched.
    w.key(Qt::Key_PageUp);
    w.at(kSbt) = "sbt";
    w.form->synckeys();
    w.select(kRes);
    w.type("!");
    w.form->aKeyMouseDown(w.panel(kSbt), Qt::RightButton, false, QPoint(5, 5));
    w.form->aKeyDragOver(w.panel(kA1), w.panel(kSbt));
    w.form->aKeyDragDrop(w.panel(kA1), w.panel(kSbt));
    EXPECT_EQ(w.at(kA1), "sbt");
    EXPECT_EQ(w.at({0, 7}), before[0][7][0]);
    w.form->Undo1Click();
    EXPECT_EQ(w.at(kA1), "");
    EXPECT_EQ(w.at(kRes), "typed more!");
    EXPECT_EQ(w.form->undoHistory().next(), "Edit Key");
}

TEST(Trust, DropsAndTokensDoWhatTheySay)
{
    Shown w;
    w.st->kd.tbuf = "old";  // a key dropped on itself stays as it is
    w.form->aKeyMouseDown(w.panel(kA1), Qt::LeftButton, false, QPoint(5, 5));
    EXPECT_FALSE(w.form->aKeyDragOver(w.panel(kA1), w.panel(kA1)));
    w.form->aKeyDragDrop(w.panel(kA1), w.panel(kA1));
    EXPECT_EQ(w.at(kA1), "");

    w.type(QString(246, 'a'));  // a token that does not fit whole stays out
    w.token("{Separator}");
    EXPECT_EQ(w.box(0)->text(), QString(246, 'a'));
    EXPECT_NE(w.status().find("{Separator} does not fit"), std::string::npos) << w.status();
    w.key(Qt::Key_Escape);
    // What the box had no room for counts as dropped, in the right number.
    for (const auto& [typed, said] : {std::pair{400, "145 characters were"}, {256, "1 character was"}}) {
        w.type(QString(typed, 'b'));
        w.key(Qt::Key_Return);
        EXPECT_EQ(w.at(kA1), std::string(255, 'b'));
        EXPECT_NE(w.status().find(said), std::string::npos) << w.status();
        w.form->Cut1Click();
    }
}

TEST(Trust, WhatIsBeingTypedIsStoredBeforeAPageCommand)
{
    Shown w;
    w.type("viewed");
    w.form->ViewPageItem[1]->trigger();
    EXPECT_EQ(w.at(kA1), "viewed");
    w.form->ViewPageItem[0]->trigger();
    w.type(" cleared elsewhere");
    w.form->ClearPageItem[2]->trigger();
    EXPECT_EQ(w.at(kA1), "viewed cleared elsewhere");
    w.type(" copied");
    w.form->CopyPageItem[3]->trigger();
    EXPECT_EQ(w.at(kA1, 3), "viewed cleared elsewhere copied");
}

TEST(Trust, MouseButtonsWhileEditing)
{
    Shown w;
    // The right button on the background opens the menu and keeps the editing.
    w.type("kept");
    QTimer::singleShot(50, [] {
        if (QWidget* m = QApplication::activePopupWidget()) m->close();
    });
    QTest::mouseClick(w.form->Client, Qt::RightButton, {}, QPoint(w.form->Client->width() / 2, w.form->Client->height() - 20));
    EXPECT_EQ(QApplication::focusWidget(), w.box(0));
    w.key(Qt::Key_Escape);
    // A right press on a key-text box while a name is edited: that row's name box.
    w.key(Qt::Key_Return, Qt::ControlModifier);
    QTest::mouseClick(w.box(2), Qt::RightButton);
    EXPECT_EQ(QApplication::focusWidget(), w.form->kpe[2]);
    EXPECT_EQ(w.st->kd.edit_f, 2);
    w.key(Qt::Key_Escape);
    // After an Escape, an edit made with the menu alone is stored on leaving.
    w.select(kA1);
    w.type("x");
    w.key(Qt::Key_Escape);
    w.key(Qt::Key_Return);
    w.token("{ESC}");
    QTest::mouseClick(w.box(1), Qt::LeftButton);
    EXPECT_EQ(w.at(kA1), "{ESC}");
}

TEST(Trust, ReadAndWriteRunOnlyWhenAsked)
{
    Shown w;
    // Ctrl pressed here and let go in a dialog: the menu's Write then runs at once, once.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Control);
    w.dialog([](QDialog& d) { QTest::keyRelease(&d, Qt::Key_Control); });
    w.form->Write1->trigger();
    EXPECT_EQ(w.writes(), 1);
    // No later key starts another.
    w.type("x");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Control);
    // Ctrl+R, then the window loses the activation before Ctrl goes up.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_R, Qt::ControlModifier);
    w.dialog([](QDialog&) {});
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
    EXPECT_EQ(w.writes(), 1);
    EXPECT_EQ(w.reads(), 0);
}

}  // namespace
