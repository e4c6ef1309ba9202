// libhidpad.so: an emulated USB keyboard behind the six entry points of the
// USB keyboard library (declared in ptu/hidpad.h). Every entry returns 0 on
// success; the failures are numbered below.
//
// The keyboard is plugged in when OpenHidPad runs:
//   HIDPAD_EMU_TYPE    its type code, 0..13 for the known models (default 9,
//                      QX-63); 14..31 make a keyboard of a type no program
//                      knows. Anything else: no keyboard answers.
//   HIDPAD_EMU_MEMORY  the file that keeps its 8192-byte memory (the USB form
//                      of the image) between runs. A missing file reads as a
//                      fresh keyboard and is created by the first write.
//                      Unset: the memory lives only as long as the process.
// Faults on request, read at every call:
//   HIDPAD_EMU_FAIL    a comma-separated list of open, read, write, config,
//                      command, close: those calls fail with
//                      HIDPAD_TRANSFER_FAILED (open with HIDPAD_NO_KEYBOARD)
//                      and change nothing.
//   HIDPAD_EMU_STATUS  the status a failing read or write returns instead
//                      (any number but 0).
// A record of the calls, for tests:
//   HIDPAD_EMU_TRACE   a file that gets one line "ENTRY STATUS" per call.
//
// Beyond the interface: WriteCMD takes any command of 1..64 bytes while the
// keyboard is open and does nothing with it; ReadConfig takes ldt, r27, r29
// and r28 from the memory when it holds an image (signature 55 AA D6 at the
// end), else gives 16, 4, 2 and 1, and always the identification byte 0x15.
#pragma once

#include "ptu/hidpad.h"

enum HidpadStatus {
    HIDPAD_NO_KEYBOARD = 1,      // OpenHidPad: nothing answers
    HIDPAD_NOT_OPEN = 2,         // a transfer before OpenHidPad or after CloseHidPad
    HIDPAD_BAD_ARGUMENT = 3,     // null buffer or a length out of range
    HIDPAD_MEMORY_ERROR = 4,     // the memory file cannot be read or written, or has another size
    HIDPAD_TRANSFER_FAILED = 5,  // a fault asked for by HIDPAD_EMU_FAIL
};
