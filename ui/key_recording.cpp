#include "ui/key_recording.h"

#include "keydata/charset.h"
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

namespace ptu {

KeyRecording::KeyRecording(TForm1& form, State& st, RowBox* box, bool pauses, std::function<void()> end)
    : form_(form), st_(st), box_(box), end_(std::move(end)), recorder_(st.loc.tset, pauses)
{
    // The recording takes the selection's place.
    if (box_->hasSelectedText()) box_->del();
    start_ = box_->cursorPosition();
    st_.log.printf(" key recording: on, ked[%d] at %d \n", box_->Tag, start_);
    form_.statusBar()->showMessage(
        "Recording keys: every key goes into the key text. Escape held one second, or a click, ends the recording.");
    capture_ = std::make_unique<KeyCapture>(
        [this](uint32_t code, bool press, const QKeyEvent& e) { stroke(code, press, e); },
        [this] { QTimer::singleShot(0, end_); });
    qApp->installEventFilter(this);
}

KeyRecording::~KeyRecording()
{
    qApp->removeEventFilter(this);
    capture_.reset();
    st_.log.printf(" key recording: off, .%s. \n", recorder_.text().c_str());
    if (form_.statusBar()->currentMessage().startsWith("Recording keys"))
        form_.statusBar()->showMessage("Recording ended: Return stores the key text, Escape drops it.", 15000);
}

bool KeyRecording::eventFilter(QObject*, QEvent* event)
{
    // A click anywhere ends the recording (and does nothing else).
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        QTimer::singleShot(0, end_);
        return true;
    }
    return false;
}

void KeyRecording::stroke(uint32_t keycode, bool press, const QKeyEvent& e)
{
    if (!recorder_.event(keycode, press, capture_->now())) {
        if (press) {
            const QString name = QKeySequence(e.key()).toString();
            form_.statusBar()->showMessage("The key " + (name.isEmpty() ? QString("with key code %1").arg(keycode) : name) +
                                               " has no code on the keyboard: not recorded.",
                                           10000);
        }
        return;
    }
    // The whole recording is decoded again each time: Shift, a and Shift's
    // release read as "A".
    const QString text = shown(st_, recorder_.text());
    QString now = box_->text();
    const int room = box_->maxLength() - int(now.size() - length_);
    if (text.size() > room) {
        form_.statusBar()->showMessage(QString("The recording does not fit the key text (%1 characters at most): "
                                               "the last keys were not recorded.")
                                           .arg(box_->maxLength()),
                                       15000);
        QTimer::singleShot(0, end_);
        return;
    }
    now.replace(start_, length_, text);
    length_ = int(text.size());
    box_->setText(now);
    box_->setCursorPosition(start_ + length_);
}

}  // namespace ptu
