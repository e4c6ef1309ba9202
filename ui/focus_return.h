// The keyboard focus goes back to the program when one of its own windows
// (a dialog, a message box, the progress box) closes. A display without a
// window manager gives the focus of a closed window to nobody, and reports
// that only once it gets round to it; a window manager gives it to a window
// of its choice. So the window the focus belongs to asks for it while the
// closing window still holds it, and asks again each time the window system
// reports that no window of the program has it, until one has.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QWindow;

namespace ptu {

class FocusReturn : public QObject {
public:
    // `home` takes the focus when no other window of the program should.
    explicit FocusReturn(QWidget* home);
    ~FocusReturn() override;

    // Asks for the focus for `to` until a window of the program has it.
    void owe(QWidget* to);
    // The window still waiting for the focus, if any.
    QWidget* owed() const { return owedTo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closing(QWidget* window);
    QWidget* heir(const QWidget* closing) const;
    void ask();
    void focusWindowChanged(QWindow* now);

    QWidget* home_;
    QPointer<QWidget> owedTo_;
};

}  // namespace ptu
