#include "platform/qt/qt_platform.h"

#include "platform/console.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ptu {

namespace {

// Swallows every mouse event of the application while it is installed.
class MouseSwallower : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick: return true;
        default: return false;
        }
    }
};

}  // namespace

QtPlatform::QtPlatform(bool headless) : headless_(headless) {}

QtPlatform::~QtPlatform()
{
    holdMouse(false);
    stderrLines().finish();
}

bool haveDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

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

int QtPlatform::listBox(const std::string& text, const std::vector<std::string>& lines,
                        const std::string& question, const std::string& caption, int flags)
{
    if (headless_ || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return Platform::listBox(text, lines, question, caption, flags);

    QDialog box;
    box.setObjectName("listBox");
    box.setWindowTitle(QString::fromStdString(caption));
    auto* layout = new QVBoxLayout(&box);
    auto* head = new QLabel(QString::fromStdString(text), &box);
    head->setWordWrap(true);
    layout->addWidget(head);
    // The list scrolls: however many keys it names, the buttons stay on the screen.
    auto* list = new QPlainTextEdit(&box);
    list->setObjectName("listLines");
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QString all;
    for (const std::string& l : lines) all += QString::fromStdString(l) + "\n";
    list->setPlainText(all.trimmed());
    layout->addWidget(list, 1);
    auto* ask = new QLabel(QString::fromStdString(question), &box);
    ask->setWordWrap(true);
    layout->addWidget(ask);
    const bool yesNo = (flags & 0xF) == MB_YESNO;
    auto* buttons = new QDialogButtonBox(yesNo ? QDialogButtonBox::Yes | QDialogButtonBox::No
                                               : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        const int lineHeight = list->fontMetrics().lineSpacing();
        const int wanted = std::min(int(lines.size()) + 2, 24) * lineHeight;
        box.resize(std::min(760, room.width() * 9 / 10), 0);
        list->setMinimumHeight(std::min(wanted, room.height() / 2));
        box.setMaximumHeight(room.height() * 9 / 10);
    }
    buttons->button(yesNo ? QDialogButtonBox::No : QDialogButtonBox::Cancel)->setFocus();
    const bool ok = box.exec() == QDialog::Accepted;
    if (yesNo) return ok ? IDYES : IDNO;
    return ok ? IDOK : IDCANCEL;
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

void QtPlatform::progressCaption(const std::string& caption)
{
    if (onProgressCaption) onProgressCaption(caption);
}

void QtPlatform::centreMouse()
{
    if (headless_ || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    // A Wayland client cannot move the pointer: nothing is tried (Qt would
    // only warn).
    if (QGuiApplication::platformName().startsWith("wayland")) return;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        QCursor::setPos(screen, g.x() + g.width() / 2, g.y() + g.height() / 2);
    }
}

void QtPlatform::holdMouse(bool on)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (on) {
        centreMouse();
        if (!mouseSwallower_ && app) {
            mouseSwallower_ = std::make_unique<MouseSwallower>();
            app->installEventFilter(mouseSwallower_.get());
        }
    } else if (mouseSwallower_) {
        if (app) app->removeEventFilter(mouseSwallower_.get());
        mouseSwallower_.reset();
    }
}

namespace {

// A file dialog that takes only a name in a folder that exists: a name
// typed with a folder that is not there is refused with a word, and the
// dialog stays open.
class ExistingFolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty()) {
            const QFileInfo f(chosen.front());
            if (!f.isDir() && !QFileInfo(f.absolutePath()).isDir()) {
                QMessageBox::warning(this, windowTitle(),
                                     QString("The folder %1 does not exist: choose a folder that does.")
                                         .arg(QDir::toNativeSeparators(f.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

}  // namespace

std::string QtPlatform::chooseFile(const FileChoice& choice)
{
    if (headless_ || !qobject_cast<QApplication*>(QCoreApplication::instance())) return {};
    ExistingFolderDialog d(QApplication::activeWindow(), QString::fromStdString(choice.title));
    // The filters read as their descriptions alone ("Tessaral Keyboard Data
    // *.tpl"), without Qt's copy of the pattern after them.
    d.setOption(QFileDialog::HideNameFilterDetails);
    d.setNameFilter(QString::fromStdString(choice.filter));
    d.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Save asks before replacing a file and gives a name without an
    // extension the default one. Open takes a name as typed when such a
    // file exists (a batch file "keys", /dev/...), else with the default
    // extension; what cannot be opened is then said by the command.
    if (choice.save) d.setDefaultSuffix(QString::fromStdString(choice.defaultSuffix));
    d.setFileMode(QFileDialog::AnyFile);
    d.setOption(QFileDialog::ReadOnly, false);
    // The folder of the data file last used, Save with its name filled in.
    if (!choice.folder.empty()) d.setDirectory(QString::fromLocal8Bit(choice.folder.c_str()));
    if (!choice.name.empty()) d.selectFile(QString::fromLocal8Bit(choice.name.c_str()));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    QString chosen = d.selectedFiles().front();
    const QString suffix = QString::fromStdString(choice.defaultSuffix);
    if (!choice.save && !suffix.isEmpty() && !QFileInfo::exists(chosen) && QFileInfo(chosen).suffix().isEmpty() &&
        QFileInfo::exists(chosen + "." + suffix))
        chosen += "." + suffix;
    return chosen.toLocal8Bit().toStdString();
}

}  // namespace ptu
