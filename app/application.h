// The application object: Qt's, with one addition. An exception that escapes
// an event handler is shown in a message box and the program goes on, so an
// unforeseen error never takes the user's unsaved key texts down with it.
#pragma once

#include <QApplication>

namespace ptu {

class PtuApplication : public QApplication {
    Q_OBJECT

public:
    PtuApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;

    // The text shown for an escaped exception (tests read it).
    static QString faultText(const char* what);
};

}  // namespace ptu
