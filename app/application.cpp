#include "app/application.h"

#include "ui/title_room.h"

#include <QMessageBox>

#include <cstdio>
#include <exception>

namespace ptu {

PtuApplication::PtuApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setWindowIcon(icon());
    setDesktopFileName("org.tessaral.ptu");
}

QIcon PtuApplication::icon() { return QIcon(":/icons/org.tessaral.ptu.svg"); }

QString PtuApplication::faultText(const char* what)
{
    return QString("An unexpected error occurred: %1\n\nThe program goes on; save your key data to a file "
                   "before you go on working.")
        .arg(QString::fromLocal8Bit(what));
}

bool PtuApplication::notify(QObject* receiver, QEvent* event)
{
    const char* what = nullptr;
    std::string text;
    try {
        // Every dialog wide enough for its title, before it is first shown.
        if (event->type() == QEvent::Polish && receiver->isWidgetType())
            makeRoomForTitle(static_cast<QWidget*>(receiver));
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        text = e.what();
        what = text.c_str();
    } catch (...) {
        what = "unknown error";
    }
    std::fprintf(stderr, "ptu: unexpected error: %s\n", what);
    // Without a display nobody could close the box.
    if (platformName() != "offscreen")
        QMessageBox::critical(nullptr, "Tessaral Programmable Keyboard Manager", faultText(what));
    return false;
}

}  // namespace ptu
