// libhidpad.so: an emulated USB keyboard behind the six entry points of the
// maker's USB keyboard library. Every entry returns 0 on success.
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
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define HIDPAD_API __attribute__((visibility("default")))

enum HidpadStatus {
    HIDPAD_OK = 0,
    HIDPAD_NO_KEYBOARD = 1,      // OpenHidPad: nothing answers
    HIDPAD_NOT_OPEN = 2,         // a transfer before OpenHidPad or after CloseHidPad
    HIDPAD_BAD_ARGUMENT = 3,     // null buffer or a length out of range
    HIDPAD_MEMORY_ERROR = 4,     // the memory file cannot be read or written, or has another size
    HIDPAD_TRANSFER_FAILED = 5,  // a fault asked for by HIDPAD_EMU_FAIL
};

#define HIDPAD_MEMORY_SIZE 8192
#define HIDPAD_CONFIG_SIZE 8

// Finds and opens the keyboard.
HIDPAD_API int OpenHidPad(void);
// Reads the first `length` bytes (1..8192) of the memory into buffer.
HIDPAD_API int ReadData(unsigned char* buffer, int length);
// Writes buffer over the first `length` bytes (1..8192) of the memory.
HIDPAD_API int WriteData(unsigned char* buffer, int length);
// Sends a raw command of 1..64 bytes. The emulated keyboard has no commands
// of its own: it takes any command while open and does nothing with it.
HIDPAD_API int WriteCMD(unsigned char* buffer, int length);
// Fills the first 8 bytes of buffer (length at least 8) with the
// configuration block: 0, the identification byte 0x15, 0x60 + type, then
// ldt, r27, r29, r28 and 0. The four registers come from the memory when it
// holds an image (signature 55 AA D6 at the end), else 16, 4, 2, 1.
HIDPAD_API int ReadConfig(unsigned char* buffer, int length);
// Closes the keyboard.
HIDPAD_API int CloseHidPad(void);

#ifdef __cplusplus
}
#endif
