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

}  // namespace ptu
