// Recording a macro into a key-text box by pressing the keys: from F11 (or
// the special-key menu's "Record Keys...") every press and release goes into
// the box at the caret as the text the keyboard would need to send it. A
// short Escape records {ESC}; Escape held for one second, or a click, ends
// the recording. The box is then edited as usual: Return stores the text
// through the same commit (and check) as typing.
#pragma once

#include "keydata/key_recorder.h"
#include "keydata/state.h"
#include "ui/key_capture.h"

#include <functional>
#include <memory>
#include <string>

namespace ptu {

class RowBox;
class TForm1;

class KeyRecording : public QObject {
public:
    // Records into `box`; `end` is called from the event loop when the user
    // ends it. With `pauses`, pauses over 100 ms become {DelayN}.
    KeyRecording(TForm1& form, State& st, RowBox* box, bool pauses, std::function<void()> end);
    ~KeyRecording() override;

    RowBox* box() const { return box_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stroke(uint32_t keycode, bool press, const QKeyEvent& e);

    TForm1& form_;
    State& st_;
    RowBox* box_;
    std::function<void()> end_;
    KeyRecorder recorder_;
    int start_ = 0;    // where the recorded text begins in the box
    int length_ = 0;   // how many characters of the box it takes
    std::unique_ptr<KeyCapture> capture_;
};

}  // namespace ptu
