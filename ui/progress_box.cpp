#include "ui/progress_box.h"

#include "platform/qt/qt_platform.h"
#include "ui/colours.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace ptu {

namespace {

constexpr int kExposeWaitMs = 1000;

}  // namespace

TAboutBox1::TAboutBox1(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Tessaral Programmable Keyboard");
    setModal(false);
    setFixedSize(380, 190);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);

    ListBox1 = new QListWidget(Panel1);
    ListBox1->addItem("Accessing the keyboard may take 40 seconds.");
    ListBox1->addItem("Please don't move your mouse and have a rest.");
    ListBox1->setFixedHeight(48);
    // Two lines to read, nothing to pick: no highlighted row, no focus frame.
    ListBox1->setSelectionMode(QAbstractItemView::NoSelection);
    ListBox1->setFocusPolicy(Qt::NoFocus);

    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    Comments = new QLabel(Panel1);
    Comments->setAlignment(Qt::AlignCenter);
    Comments->setWordWrap(true);
    Comments->setAutoFillBackground(true);
    Comments->setMinimumHeight(40);
    setComment("Detecting Keyboard ...", 0x0000FF);

    auto* inner = new QVBoxLayout(Panel1);
    inner->addWidget(ListBox1);
    inner->addWidget(ProgressBar1);
    inner->addWidget(Comments, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(Panel1);

    watch(this);
    for (QObject* child : findChildren<QObject*>()) watch(child);
}

void TAboutBox1::watch(QObject* o) { o->installEventFilter(this); }

void TAboutBox1::setComment(const std::string& text, Colour colour)
{
    Comments->setText(QString::fromLocal8Bit(text.c_str()));
    if (colour != kKeepColour) {
        colour_ = colour & 0xFFFFFF;
        QPalette p = Comments->palette();
        p.setColor(QPalette::Window, toQColor(colour_));
        Comments->setPalette(p);
    }
}

void TAboutBox1::setBar(bool visible, int position, int step)
{
    step_ = step;
    ProgressBar1->setValue(std::clamp(position, 0, 100));
    ProgressBar1->setVisible(visible);
}

void TAboutBox1::stepIt() { ProgressBar1->setValue(std::min(ProgressBar1->value() + step_, 100)); }

void TAboutBox1::showBox()
{
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    const bool mapped = !isVisible();
    show();
    raise();
    activateWindow();
    // A box just mapped is painted only once the window system has shown
    // it: wait for that (briefly), since keyboard work pumps seldom.
    QElapsedTimer waited;
    waited.start();
    QWindow* window = windowHandle();
    while (mapped && window && !window->isExposed() && waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents();
        if (!window->isExposed()) QThread::msleep(2);
    }
    repaintBox();
}

void TAboutBox1::repaintBox()
{
    if (isVisible()) repaint();
}

void TAboutBox1::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

bool TAboutBox1::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
        // Keys typed during keyboard work reach nothing, not even Esc.
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        showBox();
        return false;
    case QEvent::ChildAdded:
        if (auto* ce = static_cast<QChildEvent*>(event); ce->child()) watch(ce->child());
        return false;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void bindProgressBox(QtPlatform& pf, TAboutBox1* box)
{
    if (!box) {
        pf.onProgressText = nullptr;
        pf.onProgressBar = nullptr;
        pf.onProgressStep = nullptr;
        pf.onProgressShow = nullptr;
        pf.onProgressRepaint = nullptr;
        pf.onProgressHide = nullptr;
        pf.onProgressCaption = nullptr;
        return;
    }
    pf.onProgressText = [box](const std::string& text, Colour colour) { box->setComment(text, colour); };
    pf.onProgressBar = [box](bool visible, int position, int step) { box->setBar(visible, position, step); };
    pf.onProgressStep = [box] { box->stepIt(); };
    pf.onProgressShow = [box] { box->showBox(); };
    pf.onProgressRepaint = [box] { box->repaintBox(); };
    pf.onProgressHide = [box] { box->hide(); };
    pf.onProgressCaption = [box](const std::string& caption) {
        box->setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
    };
}

}  // namespace ptu
