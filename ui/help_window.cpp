#include "ui/help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace ptu {

HelpWindow::HelpWindow(const QString& path, AboutCommand about, QWidget* parent)
    : QWidget(parent, Qt::Window), about_(std::move(about))
{
    setObjectName("HelpWindow");
    setWindowTitle("Tessaral Programmable Keyboard Manager Help");
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(false);
    Browser->setSource(QUrl::fromLocalFile(path));

    auto* contents = new QPushButton("&Contents", this);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::home);
    auto* back = new QPushButton("&Back", this);
    connect(back, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    auto* aboutButton = new QPushButton("&About", this);
    connect(aboutButton, &QPushButton::clicked, this, [this] {
        if (about_) about_(this);
        raise();
        activateWindow();
    });
    auto* close = new QPushButton("Close", this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch(1);
    buttons->addWidget(aboutButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Browser, 1);
    resize(760, 600);
}

void HelpWindow::home()
{
    Browser->home();
    Browser->scrollToAnchor("contents");
}

HelpWindow* HelpWindow::showContents(QWidget* owner, const QString& path, AboutCommand about)
{
    auto* w = owner->findChild<HelpWindow*>("HelpWindow", Qt::FindDirectChildrenOnly);
    if (!w) {
        w = new HelpWindow(path, std::move(about), owner);
        // On the owner's screen, frame and all, centred in the room the
        // desktop leaves.
        if (QScreen* s = owner->screen()) {
            const QRect room = s->availableGeometry();
            constexpr int kFrameRoom = 60;  // a window manager's title bar and borders
            w->resize(std::min(w->width(), room.width() - kFrameRoom), std::min(w->height(), room.height() - kFrameRoom));
            w->move(room.x() + (room.width() - w->width()) / 2, room.y() + (room.height() - w->height() - kFrameRoom) / 2);
        }
    }
    w->home();
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

}  // namespace ptu
