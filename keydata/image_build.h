// Building the whole memory image from the key data, the way Save and Write
// both do it.
#pragma once

#include "keydata/encode.h"
#include "keydata/state.h"

#include <functional>
#include <vector>

namespace ptu {

// Builds the image in s.buf.ibuf:
//   1. Save only (clearFirst): the whole image buffer is cleared; Write keeps
//      what the buffer held between the key data and lmt;
//   2. fcode() when hide_f is set;
//   3. htor();
//   4. toUsbForm, the device layer's translation to HID usages (USB keyboards;
//      may be empty);
//   5. mkidx();
//   6. writeTail().
// Returns the keys that did not fit (htor).
std::vector<KeyRef> buildImage(State& s, bool clearFirst,
                               const std::function<void(State&)>& toUsbForm = {});

// How much of the keyboard's memory the key texts take: the position where
// the image build's key data ends (Save's used-length word), worked out on a
// copy so the image buffer is not touched; `overflow` when a key would be
// left out.
struct MemoryUse {
    int used = 0;
    int limit = 0;  // lmt
    bool overflow = false;
};
MemoryUse memoryUse(const State& s);

// The keys the image build would leave out (htor), worked out on a copy.
std::vector<KeyRef> leftOutKeys(const State& s);

}  // namespace ptu
