#include "platform/qt/qt_platform.h"

#include "platform/console.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace ptu {

bool haveDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

QtPlatform::~QtPlatform() { stderrLines().finish(); }

void QtPlatform::pump()
{
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void QtPlatform::messageBeep()
{
    if (!headless_ && qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
}

int QtPlatform::messageBox(const std::string& text, const std::string& caption, int flags)
{
    if (headless_ || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return PosixPlatform::messageBox(text, caption, flags);

    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromLocal8Bit(text.c_str()));
    switch (flags & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (flags & 0xF) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Ok: return IDOK;
    default: return (flags & 0xF) == MB_OK ? IDOK : IDCANCEL;  // closed by the window's button
    }
}

void QtPlatform::progressText(const std::string& text, Colour colour)
{
    if (headless_) stderrLines().progress(text);
    if (onProgressText) onProgressText(text, colour);
}

void QtPlatform::progressBar(bool visible, int position, int step)
{
    if (onProgressBar) onProgressBar(visible, position, step);
}

void QtPlatform::progressStep()
{
    if (onProgressStep) onProgressStep();
}

void QtPlatform::progressShow()
{
    if (onProgressShow) onProgressShow();
}

void QtPlatform::progressRepaint()
{
    if (onProgressRepaint) onProgressRepaint();
}

void QtPlatform::progressHide()
{
    if (onProgressHide) onProgressHide();
}

}  // namespace ptu
