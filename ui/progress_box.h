// The progress box TAboutBox1: a modeless box shown while the keyboard is
// detected, read or written. Two fixed lines ask the user to wait, a bar
// shows how far a transfer is, and the red comment label says what is going
// on. Keys typed while it is shown reach nothing; a click brings it to the
// front again.
#pragma once

#include "platform/platform.h"

#include <QDialog>

class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;

namespace ptu {

class QtPlatform;

class TAboutBox1 : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox1(QWidget* parent = nullptr);

    // The comment label: its text and background (kKeepColour keeps it).
    void setComment(const std::string& text, Colour colour = kKeepColour);
    Colour commentColour() const { return colour_; }

    // The bar: visibility, position, and the step stepIt adds.
    void setBar(bool visible, int position, int step);
    void stepIt();
    int barStep() const { return step_; }

    // Shows the box without blocking, in front, with the focus, painted.
    void showBox();
    void repaintBox();

    QFrame* Panel1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Comments = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void watch(QObject* o);

    Colour colour_ = 0x0000FF;
    int step_ = 6;
};

// Lets the platform's progress operations drive `box`; nullptr unbinds.
void bindProgressBox(QtPlatform& pf, TAboutBox1* box);

}  // namespace ptu
