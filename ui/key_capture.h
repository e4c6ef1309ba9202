// Taking every key press and release of the program for the key tester and
// the key recorder: the application's key events go to `stroke` (the X11
// key code, pressed or released) and reach no widget. The release of a key
// pressed before the capture began (the Ctrl of Ctrl+T) is no stroke.
// Escape held for one second ends the capture; a short Escape is a stroke
// like any other.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <set>

class QKeyEvent;

namespace ptu {

class KeyCapture : public QObject {
public:
    // `stroke` gets each key (keycode 0 with the event's text for a key the
    // window system gives no key code); `end` is called once Escape has been
    // held for a second (what is left of that Escape reaches nothing).
    using Stroke = std::function<void(uint32_t keycode, bool press, const QKeyEvent& e)>;
    KeyCapture(Stroke stroke, std::function<void()> end);
    ~KeyCapture() override;

    // Milliseconds since the capture began (a steady clock).
    long long now() const { return clock_.elapsed(); }

    static constexpr int kEscapeHoldMs = 1000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Stroke stroke_;
    std::function<void()> end_;
    QTimer escapeHeld_;
    bool escapeDown_ = false;
    uint32_t escapeCode_ = 0;
    QElapsedTimer clock_;
    std::set<uint32_t> down_;  // keys pressed since the capture began
};

}  // namespace ptu
