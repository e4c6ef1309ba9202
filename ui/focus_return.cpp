#include "ui/focus_return.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

namespace ptu {

namespace {

// Menus and tool tips come and go without taking the focus for long.
bool passing(const QWidget* w)
{
    const Qt::WindowType t = w->windowType();
    return t == Qt::Popup || t == Qt::ToolTip;
}

}  // namespace

FocusReturn::FocusReturn(QWidget* home) : QObject(home), home_(home)
{
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &FocusReturn::focusWindowChanged);
}

FocusReturn::~FocusReturn() { qApp->removeEventFilter(this); }

void FocusReturn::owe(QWidget* to)
{
    owedTo_ = to;
    ask();
}

void FocusReturn::ask()
{
    if (owedTo_ && owedTo_->isVisible()) owedTo_->activateWindow();
}

QWidget* FocusReturn::heir(const QWidget* closing) const
{
    // A modal window still open keeps the keys; else the window the closing
    // one belongs to; else the main window.
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t != closing && t->isModal() && t->isVisible() && !passing(t)) return t;
    QWidget* parent = closing->parentWidget() ? closing->parentWidget()->window() : nullptr;
    return parent && parent->isVisible() ? parent : home_;
}

void FocusReturn::closing(QWidget* window) { owe(heir(window)); }

void FocusReturn::focusWindowChanged(QWindow* now)
{
    if (!owedTo_) return;
    if (now && now->isVisible()) owedTo_.clear();  // a window of the program has it
    else if (!now) ask();                          // the window system gave it to nobody
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    switch (event->type()) {
    case QEvent::WindowDeactivate:
        // A window that hides while it is active hears so before the window
        // system is told: the heir asks while the window still holds the focus,
        // so no key typed after the window has gone finds nobody.
        if (w->isWindow() && w != home_ && w->isHidden() && !passing(w)) closing(w);
        break;
    case QEvent::Hide:
        // A window the window system had given the focus without saying so yet.
        if (w->isWindow() && w != home_ && !passing(w)) {
            const QWindow* focus = QGuiApplication::focusWindow();
            if (!focus || focus == w->windowHandle()) closing(w);
        }
        break;
    case QEvent::KeyPress:
        // Keys that reach a window while no window of the program has the
        // focus (the window system hands them to the window under the pointer).
        if (!QGuiApplication::focusWindow() && w->window()->isVisible() && !passing(w->window())) owe(w->window());
        break;
    default: break;
    }
    return false;
}

}  // namespace ptu
