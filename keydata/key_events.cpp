#include "keydata/key_events.h"

#include "keydata/codec_index.h"

#include <algorithm>
#include <array>

namespace ptu {

namespace {

// Linux input event code (include/uapi/linux/input-event-codes.h), the make
// code of scan code set 1, its length, and whether the key is a modifier.
// Codes 1 to 83 equal their set-1 make codes; the extended keys carry E0.
constexpr KeyCodeRow kRows[] = {
    {  1, {0x01}, 1, false},  // KEY_ESC
    {  2, {0x02}, 1, false},  // KEY_1
    {  3, {0x03}, 1, false},  // KEY_2
    {  4, {0x04}, 1, false},  // KEY_3
    {  5, {0x05}, 1, false},  // KEY_4
    {  6, {0x06}, 1, false},  // KEY_5
    {  7, {0x07}, 1, false},  // KEY_6
    {  8, {0x08}, 1, false},  // KEY_7
    {  9, {0x09}, 1, false},  // KEY_8
    { 10, {0x0A}, 1, false},  // KEY_9
    { 11, {0x0B}, 1, false},  // KEY_0
    { 12, {0x0C}, 1, false},  // KEY_MINUS
    { 13, {0x0D}, 1, false},  // KEY_EQUAL
    { 14, {0x0E}, 1, false},  // KEY_BACKSPACE
    { 15, {0x0F}, 1, false},  // KEY_TAB
    { 16, {0x10}, 1, false},  // KEY_Q
    { 17, {0x11}, 1, false},  // KEY_W
    { 18, {0x12}, 1, false},  // KEY_E
    { 19, {0x13}, 1, false},  // KEY_R
    { 20, {0x14}, 1, false},  // KEY_T
    { 21, {0x15}, 1, false},  // KEY_Y
    { 22, {0x16}, 1, false},  // KEY_U
    { 23, {0x17}, 1, false},  // KEY_I
    { 24, {0x18}, 1, false},  // KEY_O
    { 25, {0x19}, 1, false},  // KEY_P
    { 26, {0x1A}, 1, false},  // KEY_LEFTBRACE
    { 27, {0x1B}, 1, false},  // KEY_RIGHTBRACE
    { 28, {0x1C}, 1, false},  // KEY_ENTER
    { 29, {0x1D}, 1, true },  // KEY_LEFTCTRL
    { 30, {0x1E}, 1, false},  // KEY_A
    { 31, {0x1F}, 1, false},  // KEY_S
    { 32, {0x20}, 1, false},  // KEY_D
    { 33, {0x21}, 1, false},  // KEY_F
    { 34, {0x22}, 1, false},  // KEY_G
    { 35, {0x23}, 1, false},  // KEY_H
    { 36, {0x24}, 1, false},  // KEY_J
    { 37, {0x25}, 1, false},  // KEY_K
    { 38, {0x26}, 1, false},  // KEY_L
    { 39, {0x27}, 1, false},  // KEY_SEMICOLON
    { 40, {0x28}, 1, false},  // KEY_APOSTROPHE
    { 41, {0x29}, 1, false},  // KEY_GRAVE
    { 42, {0x2A}, 1, true },  // KEY_LEFTSHIFT
    { 43, {0x2B}, 1, false},  // KEY_BACKSLASH
    { 44, {0x2C}, 1, false},  // KEY_Z
    { 45, {0x2D}, 1, false},  // KEY_X
    { 46, {0x2E}, 1, false},  // KEY_C
    { 47, {0x2F}, 1, false},  // KEY_V
    { 48, {0x30}, 1, false},  // KEY_B
    { 49, {0x31}, 1, false},  // KEY_N
    { 50, {0x32}, 1, false},  // KEY_M
    { 51, {0x33}, 1, false},  // KEY_COMMA
    { 52, {0x34}, 1, false},  // KEY_DOT
    { 53, {0x35}, 1, false},  // KEY_SLASH
    { 54, {0x36}, 1, true },  // KEY_RIGHTSHIFT
    { 55, {0x37}, 1, false},  // KEY_KPASTERISK
    { 56, {0x38}, 1, true },  // KEY_LEFTALT
    { 57, {0x39}, 1, false},  // KEY_SPACE
    { 58, {0x3A}, 1, false},  // KEY_CAPSLOCK
    { 59, {0x3B}, 1, false},  // KEY_F1
    { 60, {0x3C}, 1, false},  // KEY_F2
    { 61, {0x3D}, 1, false},  // KEY_F3
    { 62, {0x3E}, 1, false},  // KEY_F4
    { 63, {0x3F}, 1, false},  // KEY_F5
    { 64, {0x40}, 1, false},  // KEY_F6
    { 65, {0x41}, 1, false},  // KEY_F7
    { 66, {0x42}, 1, false},  // KEY_F8
    { 67, {0x43}, 1, false},  // KEY_F9
    { 68, {0x44}, 1, false},  // KEY_F10
    { 69, {0x45}, 1, false},  // KEY_NUMLOCK
    { 70, {0x46}, 1, false},  // KEY_SCROLLLOCK
    { 71, {0x47}, 1, false},  // KEY_KP7
    { 72, {0x48}, 1, false},  // KEY_KP8
    { 73, {0x49}, 1, false},  // KEY_KP9
    { 74, {0x4A}, 1, false},  // KEY_KPMINUS
    { 75, {0x4B}, 1, false},  // KEY_KP4
    { 76, {0x4C}, 1, false},  // KEY_KP5
    { 77, {0x4D}, 1, false},  // KEY_KP6
    { 78, {0x4E}, 1, false},  // KEY_KPPLUS
    { 79, {0x4F}, 1, false},  // KEY_KP1
    { 80, {0x50}, 1, false},  // KEY_KP2
    { 81, {0x51}, 1, false},  // KEY_KP3
    { 82, {0x52}, 1, false},  // KEY_KP0
    { 83, {0x53}, 1, false},  // KEY_KPDOT
    { 86, {0x56}, 1, false},  // KEY_102ND
    { 87, {0x57}, 1, false},  // KEY_F11
    { 88, {0x58}, 1, false},  // KEY_F12
    { 89, {0x73}, 1, false},  // KEY_RO
    { 92, {0x79}, 1, false},  // KEY_HENKAN
    { 93, {0x70}, 1, false},  // KEY_KATAKANAHIRAGANA
    { 94, {0x7B}, 1, false},  // KEY_MUHENKAN
    { 96, {0xE0, 0x1C}, 2, false},  // KEY_KPENTER
    { 97, {0xE0, 0x1D}, 2, true },  // KEY_RIGHTCTRL
    { 98, {0xE0, 0x35}, 2, false},  // KEY_KPSLASH
    { 99, {0xE0, 0x37}, 2, false},  // KEY_SYSRQ
    {100, {0xE0, 0x38}, 2, true },  // KEY_RIGHTALT
    {102, {0xE0, 0x47}, 2, false},  // KEY_HOME
    {103, {0xE0, 0x48}, 2, false},  // KEY_UP
    {104, {0xE0, 0x49}, 2, false},  // KEY_PAGEUP
    {105, {0xE0, 0x4B}, 2, false},  // KEY_LEFT
    {106, {0xE0, 0x4D}, 2, false},  // KEY_RIGHT
    {107, {0xE0, 0x4F}, 2, false},  // KEY_END
    {108, {0xE0, 0x50}, 2, false},  // KEY_DOWN
    {109, {0xE0, 0x51}, 2, false},  // KEY_PAGEDOWN
    {110, {0xE0, 0x52}, 2, false},  // KEY_INSERT
    {111, {0xE0, 0x53}, 2, false},  // KEY_DELETE
    {116, {0xE0, 0x5E}, 2, false},  // KEY_POWER
    {119, {0xE1, 0x1D, 0x45}, 3, false},  // KEY_PAUSE
    {125, {0xE0, 0x5B}, 2, true },  // KEY_LEFTMETA
    {126, {0xE0, 0x5C}, 2, true },  // KEY_RIGHTMETA
    {127, {0xE0, 0x5D}, 2, false},  // KEY_COMPOSE
    {142, {0xE0, 0x5F}, 2, false},  // KEY_SLEEP
    {143, {0xE0, 0x63}, 2, false},  // KEY_WAKEUP
    {183, {0x64}, 1, false},  // KEY_F13
    {184, {0x65}, 1, false},  // KEY_F14
    {185, {0x66}, 1, false},  // KEY_F15
    {186, {0x67}, 1, false},  // KEY_F16
    {187, {0x68}, 1, false},  // KEY_F17
    {188, {0x69}, 1, false},  // KEY_F18
    {189, {0x6A}, 1, false},  // KEY_F19
};

// Print Screen as the tables without an E0 37 key name write it.
constexpr char kPrintScreenLong[] = "\xE0\x2A\xE0\x37";

const KeyCodeRow* rowOfEvdev(uint32_t evdev)
{
    const auto it = std::lower_bound(std::begin(kRows), std::end(kRows), evdev,
                                     [](const KeyCodeRow& r, uint32_t e) { return r.evdev < e; });
    return it != std::end(kRows) && it->evdev == evdev ? &*it : nullptr;
}

std::string codeOf(const KeyCodeRow& r) { return std::string(reinterpret_cast<const char*>(r.code), r.length); }

}  // namespace

std::span<const KeyCodeRow> keyCodeRows() { return kRows; }

KeyStroke keyStroke(TableSetId set, uint32_t x11Keycode, bool press)
{
    const KeyCodeRow* r = x11Keycode >= kX11KeycodeOffset ? rowOfEvdev(x11Keycode - kX11KeycodeOffset) : nullptr;
    if (!r) return {{}, false, false};
    KeyStroke s{{}, true, r->modifier};
    if (r->modifier) {
        // A release is F0 before the code, after an E0 prefix.
        const std::string code = codeOf(*r);
        s.codes = press ? code : r->length == 2 ? std::string("\xE0\xF0") + code[1] : "\xF0" + code;
    } else if (press) {
        s.codes = codeOf(*r);
        static const std::string shortPrint = "\xE0\x37";
        if (s.codes == shortPrint && codecIndex(set).match(shortPrint).nameRow < 0) s.codes = kPrintScreenLong;
    }
    return s;
}

const KeyCodeRow* rowOfCode(std::string_view codes)
{
    for (const KeyCodeRow& r : kRows)
        if (codes.size() >= r.length && std::equal(r.code, r.code + r.length, codes.begin(),
                                                   [](uint8_t a, char b) { return a == uint8_t(b); }))
            return &r;
    return nullptr;
}

}  // namespace ptu
