#include "ui/key_capture.h"

#include <QApplication>
#include <QKeyEvent>

namespace ptu {

namespace {

// After Escape held for a second ends a capture, the key is still down: its
// repeats and its release (which a loaded window system may not mark as
// repeats) reach nothing until it has been quiet for a moment.
class EscapeGuard : public QObject {
public:
    EscapeGuard() : QObject(qApp)
    {
        quiet_.setSingleShot(true);
        quiet_.setInterval(kQuietMs);
        connect(&quiet_, &QTimer::timeout, this, &QObject::deleteLater);
        quiet_.start();
        qApp->installEventFilter(this);
    }
    ~EscapeGuard() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        const QEvent::Type t = e->type();
        if ((t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride) ||
            static_cast<QKeyEvent*>(e)->key() != Qt::Key_Escape)
            return false;
        quiet_.start();
        return true;
    }

private:
    static constexpr int kQuietMs = 400;
    QTimer quiet_;
};

}  // namespace

KeyCapture::KeyCapture(Stroke stroke, std::function<void()> end) : stroke_(std::move(stroke)), end_(std::move(end))
{
    escapeHeld_.setSingleShot(true);
    escapeHeld_.setInterval(kEscapeHoldMs);
    connect(&escapeHeld_, &QTimer::timeout, this, [this] {
        escapeDown_ = false;
        new EscapeGuard;  // it goes once Escape has been quiet
        if (end_) end_();
    });
    clock_.start();
    qApp->installEventFilter(this);
}

KeyCapture::~KeyCapture() { qApp->removeEventFilter(this); }

bool KeyCapture::eventFilter(QObject*, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::ShortcutOverride) {
        event->accept();  // no menu shortcut fires: the key comes here as a press
        return true;
    }
    if (t != QEvent::KeyPress && t != QEvent::KeyRelease) return false;
    auto* k = static_cast<QKeyEvent*>(event);
    // A key held down repeats: the keyboard under test sends it once.
    if (k->isAutoRepeat()) return true;
    const bool press = t == QEvent::KeyPress;
    const uint32_t code = k->nativeScanCode();
    if (k->key() == Qt::Key_Escape) {
        // Held, it ends the capture; short, it is a stroke (pressed and
        // released together once it is let go).
        if (press) {
            escapeDown_ = true;
            escapeCode_ = code;
            escapeHeld_.start();
        } else if (escapeDown_) {
            escapeDown_ = false;
            escapeHeld_.stop();
            if (stroke_) {
                stroke_(escapeCode_, true, *k);
                stroke_(escapeCode_, false, *k);
            }
        }
        return true;
    }
    if (press) down_.insert(code);
    else if (down_.erase(code) == 0) return true;
    if (stroke_) stroke_(code, press, *k);
    return true;
}

}  // namespace ptu
