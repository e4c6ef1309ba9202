// Key events of the window system as the keyboard's own codes. The window
// system numbers a key by its X11 key code (the Linux input event code plus
// 8; Wayland compositors and Qt's native scan code use the same numbers). A
// press or release becomes the bytes the encoder writes for it: an ordinary
// key's make code when it is pressed (the keyboard types press and release
// for it), a modifier's make code when pressed and its break code (F0 before
// the code) when released. The decoder then gives the macro text.
#pragma once

#include "keydata/tables.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ptu {

// One key of the table: its Linux input event code and the make code of
// scan code set 1 (up to three bytes, E0 and E1 prefixed sequences included).
struct KeyCodeRow {
    uint16_t evdev;
    uint8_t code[3];
    uint8_t length;
    bool modifier;  // held until released: Ctrl, Shift, Alt, Windows keys
};

// The rows, in the order of the event codes.
std::span<const KeyCodeRow> keyCodeRows();

// The X11 key code of an input event code, and back.
constexpr uint32_t kX11KeycodeOffset = 8;

// What one press or release adds to a macro (possibly nothing: the release
// of an ordinary key). `known` is false for a key that has no code of scan
// code set 1 (a media key, say): it adds nothing, and the caller names it.
struct KeyStroke {
    std::string codes;
    bool known = true;
    bool modifier = false;
};
// Print Screen is written as the set's tables write it (E0 2A E0 37 where
// they have no name for E0 37).
KeyStroke keyStroke(TableSetId set, uint32_t x11Keycode, bool press);

// The row of a set-1 code sequence at the start of `codes` (make codes only;
// for tests and for naming), or null.
const KeyCodeRow* rowOfCode(std::string_view codes);

}  // namespace ptu
