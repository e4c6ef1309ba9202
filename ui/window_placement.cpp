// Where the main window stands and how large it is, before the grid is laid
// out on its client area.
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
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kCompositorWaitMs &&
               !(windowHandle() && windowHandle()->isExposed() && size() != asked)) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
    }
    if (layout()) layout()->activate();
}

}  // namespace ptu
