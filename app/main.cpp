// ptu: the Tessaral Programmable Keyboard Manager.
#include "app/application.h"
#include "app/batch_road.h"
#include "app/command_line.h"
#include "app/display.h"
#include "app/startup.h"
#include "app/usage.h"
#include "app/usb_road.h"
#include "app/window_road.h"
#include "platform/qt/qt_platform.h"
#include "ui/usb_chooser.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace ptu;

namespace {

// Qt's own warnings (missing runtime folders and the like) would mix with the
// progress lines a script reads; they are shown only when asked for.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type == QtFatalMsg || std::getenv("PTU_QT_DEBUG"))
        std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv)
{
    if (auto answered = answerInformationRequest(argc, argv)) return *answered;
    const bool headless = settleDisplay();
    qInstallMessageHandler(quietQtMessages);
    PtuApplication qapp(argc, argv);
    QApplication::setApplicationName(kTitle);

    auto st = std::make_unique<State>();
    QtPlatform pf(headless);
    const std::string cp = commandLine(argc, argv);
    const long startTime = pf.now();
    pf.setStartAdvice(driverStartAdvice(QCoreApplication::applicationFilePath().toStdString(),
                                        std::vector<std::string>(argv + 1, argv + argc)));

    if (asksDriverStart(cp))
        startDriver(pf, driverStartCommand(QCoreApplication::applicationDirPath().toStdString()));
    openLog(*st, Log::defaultPath(), startTime, cp);

    SwitchScan scan = scanSwitches(cp, *st);
    if (scan.help) {
        if (headless) std::printf("%s\n%s\n", kTitle, kHelpText);
        else QMessageBox::information(nullptr, kTitle, kHelpText, QMessageBox::Ok);
        st->log.close();
        return 0;
    }
    // The USB road comes first; the chooser it creates lives as long as the
    // run. Whatever road follows ends through endRun, which closes the log
    // and, when in use, the USB keyboard.
    std::unique_ptr<TDialog2> usbChooser;
    if (scan.usb) {
        pf.setLibraryDir(QCoreApplication::applicationDirPath().toStdString());
        if (!runUsbRoad(*st, pf, usbChooser)) return 1;
    }
    int code;
    if (st->fl.bat_f & (BAT_READ | BAT_WRITE)) code = runBatchRoad(*st, pf, cp);
    else if (st->fl.bat_f & BAT_CTRL) code = controllerRoad(*st, pf);
    else code = windowRoad(*st, pf, usbChooser, QCoreApplication::applicationDirPath().toStdString());
    usbChooser.reset();
    return endRun(*st, pf, code);
}
