#include "keydata/key_recorder.h"

#include "keydata/decode.h"
#include "keydata/key_events.h"

#include <algorithm>

namespace ptu {

namespace {

constexpr long long kDelayUnitMs = 100;
constexpr long long kLongestPauseUnits = 100;
// The delays the key-name tables have, longest first.
constexpr int kDelays[] = {10, 5, 3, 1};

}  // namespace

bool KeyRecorder::event(uint32_t x11Keycode, bool press, long long ms)
{
    const KeyStroke s = keyStroke(set_, x11Keycode, press);
    if (!s.known) return false;
    if (s.codes.empty()) return true;  // the release of an ordinary key: typed with its press
    if (pauses_ && last_ >= 0 && ms - last_ > kDelayUnitMs) {
        long long units = std::min((ms - last_ + kDelayUnitMs / 2) / kDelayUnitMs, kLongestPauseUnits);
        for (int d : kDelays)
            for (; units >= d; units -= d) codes_ += std::string{'\xFD', char(d)};
    }
    last_ = ms;
    codes_ += s.codes;
    return true;
}

std::string KeyRecorder::text() const { return codes_.empty() ? std::string() : decodeText(set_, "\xFF" + codes_); }

}  // namespace ptu
