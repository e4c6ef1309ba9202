// Every key and every drop lands where the user sees it: any mouse button on
// a key, the key commands, text drops, the menu bar while a box is edited,
// and the focus after a window of the program closes.
#include "tests/ui/window_fixture.h"
#include "ui/progress_box.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMimeData>

using namespace ptu;
using namespace ptu::test;

namespace {

struct Editing : ShownWindow {
    QWidget* focus() const { return QApplication::focusWidget(); }
    // Return (Ctrl+Return: the name) on the current key, then typing.
    void edit(const char* typed, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        key(Qt::Key_Return, m);
        QTest::keyClicks(focus(), typed);
    }
    // A text dragged from elsewhere and released at `at` on `target`; true when taken.
    bool drop(QWidget* target, QPoint at, const QString& text)
    {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &dropped);
        return enter.isAccepted() || dropped.isAccepted();
    }
};

}  // namespace

TEST(Routing, NoMouseButtonLeavesTheCaretOnAnotherKey)
{
    // The middle button (the X11 paste click) and the extra buttons, on a key
    // in another row and column (RES, 8/7) while A1's text is typed.
    for (Qt::MouseButton button : {Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        Editing w;
        w.edit("typed");
        QTest::mouseClick(w.form->panelAt(8, 7), button);
        EXPECT_EQ(w.text(0, 0, 0), "typed");
        EXPECT_EQ(w.current(), std::make_pair(8, 7));
        const size_t row = 7;
        EXPECT_TRUE(w.focus() == w.form->Edit1 || w.focus() == w.form->ked[row] || w.focus() == w.form->kpe[row])
            << "button " << int(button) << ": the caret is in " << w.focus()->objectName().toStdString();
    }
}

TEST(Routing, PasteKeyStoresTheNameBeingTyped)
{
    Editing w;
    w.st->kd.tbuf = "clip";
    w.edit("Tax", Qt::ControlModifier);
    w.key(Qt::Key_F5);
    EXPECT_EQ(w.st->kd.kcap[0][0][0], "Tax");
    EXPECT_EQ(w.text(0, 0, 0), "clip");
    w.form->PasteKey1->trigger();  // the same from the menu
    QTest::keyClicks(w.focus(), "es");
    w.form->PasteKey1->trigger();
    EXPECT_EQ(w.st->kd.kcap[0][0][0], "Taxes");
}

TEST(Routing, ATextDropReachesTheKeyItLandsOn)
{
    Editing w;
    QWidget* client = w.form->Client;
    EXPECT_FALSE(w.drop(client, QPoint(client->width() / 2, client->height() - 20), "nowhere"));
    // Dropped on the key's text box while its name is typed: the name is
    // stored, the text is edited and stored as typed text is.
    w.edit("Net", Qt::ControlModifier);
    EXPECT_TRUE(w.drop(w.form->ked[0], QPoint(5, 5), "dropped"));
    EXPECT_EQ(w.st->kd.kcap[0][0][0], "Net");
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(0, 0, 0), "dropped");
}

TEST(Routing, TheMenuBarLeavesTheEditingAsItWas)
{
    Editing w;
    w.edit("kept");
    // Alt+E opens the Edit menu; Escape closes it and the box edits on.
    QTest::keyClick(w.focus(), Qt::Key_E, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), w.form->PageEdit1);
    QTest::keyClick(w.form->PageEdit1, Qt::Key_Escape);
    EXPECT_EQ(w.focus(), w.form->ked[0]);
    EXPECT_EQ(w.form->ked[0]->text(), "kept");
    EXPECT_EQ(w.text(0, 0, 0), "");
    // Alt alone and Escape: the same; the next Escape drops the typing.
    QTest::keyClick(w.focus(), Qt::Key_Alt);
    w.key(Qt::Key_Escape);
    EXPECT_EQ(w.focus(), w.form->ked[0]);
    w.key(Qt::Key_Escape);
    EXPECT_EQ(w.form->ked[0]->text(), "");
    EXPECT_EQ(w.text(0, 0, 0), "");
    EXPECT_TRUE(w.form->isVisible());
}

TEST(Routing, TheWindowTakesTheFocusBackFromTheProgressBox)
{
    // The window system has not yet said where the box's focus went when it
    // hides (the offscreen platform never does): the window asks for it.
    Editing w;
    TAboutBox1 box;
    box.showBox();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.hide();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.focus(), w.form->ked[0]);
    EXPECT_EQ(w.st->kd.edit_f, 1);
}
