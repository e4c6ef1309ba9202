// Where the main window stands and how large it is, before the grid is laid
// out on its client area.
#include "platform/qt/qt_platform.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLayout>
#include <QScreen>
#include <QThread>
#include <QWindow>

namespace ptu {

namespace {

constexpr int kTaskBarHeight = 27;
constexpr int kCompositorWaitMs = 3000;

// A platform whose compositor places every window and may add a title bar
// and panels the program cannot see (Wayland): the window can neither put
// itself at the screen's corner nor learn the free area beforehand.
bool placesWindowsItself() { return QGuiApplication::platformName().startsWith("wayland"); }

// Pumps events until `done` holds or the compositor's time is up.
template <typename Done>
void waitFor(Done done)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kCompositorWaitMs && !done()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

// Under an X window manager the window's frame (title bar and borders) is
// the manager's, known only once the window is shown: the frame is put at
// the screen's top left and the client area gets what is left above the
// task bar.
void fitFrame(QWidget* w, const QRect& scr, int taskBar)
{
    w->show();
    waitFor([w] { return w->windowHandle() && w->windowHandle()->isExposed() && w->frameGeometry() != w->geometry(); });
    const QRect frame = w->frameGeometry(), client = w->geometry();
    if (frame == client) return;  // no frame after all
    const QSize room(scr.width() - (frame.width() - client.width()),
                     scr.height() - taskBar - (frame.height() - client.height()));
    w->move(scr.topLeft());  // the frame's corner
    w->resize(room);
    waitFor([w, scr, room] { return w->frameGeometry().topLeft() == scr.topLeft() && w->size() == room; });
}

}  // namespace

QRect TForm1::screenRect() const
{
    if (!setup_.screen.isEmpty()) return setup_.screen;
    if (QScreen* s = QGuiApplication::primaryScreen()) return s->geometry();
    return QRect(0, 0, 800, 600);
}

void TForm1::placeWindow()
{
    const QRect scr = screenRect();
    setGeometry(scr.x(), scr.y(), scr.width(), scr.height() - kTaskBarHeight);
    if (placesWindowsItself() && setup_.screen.isEmpty()) {
        // The compositor fits a maximised window, title bar and all, into
        // the room beside its panels; the grid is then laid out on the
        // client area it leaves. Without an answer the size above stays.
        const QSize asked = size();
        setWindowState(Qt::WindowMaximized);
        show();
        waitFor([this, asked] { return windowHandle() && windowHandle()->isExposed() && size() != asked; });
    } else if (setup_.screen.isEmpty() && QGuiApplication::platformName() == "xcb" && windowManagerRunning()) {
        fitFrame(this, scr, kTaskBarHeight);
    }
    if (layout()) layout()->activate();
}

}  // namespace ptu
