// The USB form of a data file: USB keyboards keep HID usages where driver
// keyboards keep scan codes. The translation itself belongs to the device
// layer; this is where the tool reaches it.
#pragma once

#include "keydata/state.h"

#include <cstdint>

namespace ptu::tpl {

// The kbb_f-byte image in `buf` from the USB form to scan codes.
void toInternalForm(State& s, uint8_t* buf);

}  // namespace ptu::tpl
