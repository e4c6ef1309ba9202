// Every key and drop lands where the user sees it: mouse buttons, Paste Key,
// text drops, the menu bar, the focus after a window of the program closes.
#include "tests/ui/window_fixture.h"
#include "ui/progress_box.h"

#include <QMenu>
#include <QMimeData>

using namespace ptu;
using namespace ptu::test;

namespace {

struct Editing : ShownWindow {
    QWidget* focus() const { return QApplication::focusWidget(); }
    void edit(const char* typed, Qt::KeyboardModifiers m = {})  // Ctrl: the name
    {
        key(Qt::Key_Return, m);
        QTest::keyClicks(focus(), typed);
    }
    bool drop(QWidget* target, QPoint at, const QString& text)  // true when taken
    {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QCoreApplication::sendEvent(target, &dropped);
        return enter.isAccepted() || dropped.isAccepted();
    }
};

}  // namespace

TEST(Routing, NoMouseButtonLeavesTheCaretOnAnotherKey)
{
    // The X11 paste click and the extra buttons on RES (8/7) while A1 is typed.
    for (Qt::MouseButton button : {Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        Editing w;
        w.edit("typed");
        QTest::mouseClick(w.form->panelAt(8, 7), button);
        EXPECT_EQ(w.text(0, 0, 0), "typed");
        EXPECT_TRUE(w.focus() == w.form->Edit1 || w.focus() == w.form->ked[7] || w.focus() == w.form->kpe[7])
            << int(button) << " left the caret in " << w.focus()->objectName().toStdString();
    }
}

TEST(Routing, PasteKeyAndDropsStoreTheNameBeingTyped)
{
    Editing w;
    const QWidget* c = w.form->Client;  // its background
    EXPECT_FALSE(w.drop(w.form->Client, QPoint(c->width() / 2, c->height() - 20), "nowhere"));
    w.st->kd.tbuf = "clip";
    w.edit("Tax", Qt::ControlModifier);
    w.key(Qt::Key_F5);
    EXPECT_EQ(keyCell(w.st->kd.kcap, 0, 0, 0), "Tax");
    QTest::keyClicks(w.focus(), "es");
    EXPECT_TRUE(w.drop(w.form->ked[0], QPoint(2, 5), "drop"));  // stores the name, is typing
    EXPECT_EQ(keyCell(w.st->kd.kcap, 0, 0, 0), "Taxes");
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(0, 0, 0), "dropclip");
}

TEST(Routing, TheMenuBarLeavesTheEditingAsItWas)
{
    Editing w;
    w.edit("kept");  // Alt+E opens the Edit menu, Escape closes it
    QTest::keyClick(w.focus(), Qt::Key_E, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), w.form->PageEdit1);
    QTest::keyClick(w.form->PageEdit1, Qt::Key_Escape);
    EXPECT_EQ(w.focus(), w.form->ked[0]);
    EXPECT_EQ(w.form->ked[0]->text(), "kept");
    QTest::keyClick(w.focus(), Qt::Key_Alt);  // Alt alone: the same
    w.key(Qt::Key_Escape);
    EXPECT_EQ(w.focus(), w.form->ked[0]);
    w.key(Qt::Key_Escape);  // drops the typing, as in any edit
    EXPECT_EQ(w.form->ked[0]->text(), "");
    EXPECT_EQ(w.text(0, 0, 0), "");
}

TEST(Routing, TheWindowTakesTheFocusBackFromTheProgressBox)
{
    // The offscreen platform, as a slow window system, has not said where the focus went.
    Editing w;
    TAboutBox1 box;
    box.showBox();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.hide();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.st->kd.edit_f, 1);
}
