// Recording a macro by pressing the keys: every press and release becomes
// the codes the keyboard would need to send it, and the decoder gives the
// text (Shift+a records as "A", Ctrl+Alt+Delete as its key names).
#pragma once

#include "keydata/tables.h"

#include <cstdint>
#include <string>

namespace ptu {

class KeyRecorder {
public:
    // With `pauses`, a pause of more than 100 ms between two strokes is
    // recorded as delays (at 100 ms a unit, at most 10 s).
    KeyRecorder(TableSetId set, bool pauses) : set_(set), pauses_(pauses) {}

    // A press or release at `ms` (a steady clock). False for a key that has
    // no code of the keyboard: nothing is recorded for it.
    bool event(uint32_t x11Keycode, bool press, long long ms);

    // The macro text recorded so far.
    std::string text() const;
    const std::string& codes() const { return codes_; }

private:
    TableSetId set_;
    bool pauses_;
    std::string codes_;
    long long last_ = -1;  // when the last stroke came
};

}  // namespace ptu
