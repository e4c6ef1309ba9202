// The application object: Qt's, with one addition. An exception that escapes
// an event handler is shown in a message box and the program goes on, so an
// unforeseen error never takes the user's unsaved key texts down with it.
#pragma once

#include <QApplication>
#include <QIcon>

namespace ptu {

class PtuApplication : public QApplication {
    Q_OBJECT

public:
    // Every window shows the program's icon; the desktop entry's name lets
    // a desktop match the windows to it.
    PtuApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The program's icon, compiled in from the installed SVG.
    static QIcon icon();

    // The text shown for an escaped exception (tests read it).
    static QString faultText(const char* what);
};

}  // namespace ptu
