// The keyboard side of the window's Read and Write commands: the series of
// driver operations and tones around the whole-memory transfer, the decoding
// of what was read and the image that is written.
#pragma once

#include "device/transfer.h"
#include "keydata/encode.h"
#include "keydata/state.h"
#include "platform/platform.h"

#include <string>
#include <vector>

namespace ptu {

// Whether Read, Write and Verify can reach a keyboard: not once the USB
// model was named by hand (ask_f, the library is not in use) nor in the
// demonstration mode (d_f), where the transfers would only pretend.
bool keyboardAttached(const Flags& fl);
// What the window says instead of such a transfer.
std::string noKeyboardText(const Flags& fl, const char* command);

// Why a transfer of readKeyboard, sendWriteImage or readImage failed, for a
// person: the cause the platform knows (as the batch road says it), else
// what the result code means.
std::string transferProblem(const State& st, Platform& pf, int result);

// Reads the whole keyboard memory and decodes it into the key texts, the
// registers, ldt and magcfg. Returns the block transfer's result (0 when it
// succeeded). A failed transfer leaves the key texts, the registers and
// magcfg as they were. The model decided for the window is kept throughout.
int readKeyboard(State& st, Platform& pf);

// Write, first half: the progress text and the image built from the key
// texts in s.buf.ibuf (without clearing the buffer: bytes behind the new key
// data keep the last image), in the USB form on a USB keyboard, with its
// tail. Returns the keys that did not fit the memory (stored empty).
std::vector<KeyRef> buildWriteImage(State& st, Platform& pf);

// Write, second half: sends the image built by buildWriteImage between the
// driver operations, then puts back r27, r28 and r29 and the model values the
// keyboard's replies replaced. Returns the block transfer's result; `end`,
// when given, says how much of the image reached the keyboard.
int sendWriteImage(State& st, Platform& pf, TransferEnd* end = nullptr);

// Verify's read: the whole keyboard memory, read as Read does, into `image`
// (kbb_f bytes in the keyboard's own form). The key texts, the registers
// and the image buffers are left alone. Returns the block transfer's result.
int readImage(State& st, Platform& pf, std::vector<uint8_t>& image);

// The image Write would send for the key texts as they are, built on a copy
// of the state (the image buffer is not touched).
std::vector<uint8_t> writeImageOf(const State& st);

}  // namespace ptu
