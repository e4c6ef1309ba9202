// Translation of the memory image between the USB keyboard's own form, whose
// key sequences hold HID usage codes, and the program's form, whose key
// sequences hold scan codes of scan code set 1.
#pragma once

#include "keydata/state.h"

#include <array>
#include <cstdint>
#include <span>

namespace ptu {

// One row of the translation table: a usage page, the usage code bytes and
// the scan code bytes, each list ended by 0.
struct HidRow {
    uint32_t page;
    std::array<uint8_t, 4> usage;
    std::array<uint8_t, 4> scan;
};

constexpr int kHidRows = 166;

// The rows in search order; the first matching row wins both ways.
std::span<const HidRow> hidTable();

// Key sequence markers of the USB form.
enum : uint8_t { HID_KEYBOARD = 0xFF, HID_DESKTOP = 0xFE, HID_CONSUMER = 0xFD };

// USB form to program form, in place over the first kbb_f bytes of
// `buffer`. Returns 1 without doing anything when usb_f is not set, else 0.
int hid2sc(State& st, std::span<uint8_t> buffer);

// Program form to USB form, in place. Returns 1 without doing anything when
// usb_f is not set, else 0.
int sc2hid(State& st, std::span<uint8_t> buffer);

}  // namespace ptu
