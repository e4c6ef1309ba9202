// Translation of the memory image between the USB keyboard's own form, whose
// key sequences hold HID usage codes, and the program's form, whose key
// sequences hold scan codes of scan code set 1.
#pragma once

#include "keydata/round_trip.h"
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
// `buffer`. Print Screen comes back as the table set writes it (E0 2A E0 37
// where its key names have no E0 37). Returns 1 without doing anything when usb_f is not set, else 0.
int hid2sc(State& st, std::span<uint8_t> buffer);

// The USB keyboard's side of the key-text check: one slot's string through
// sc2hid and hid2sc, and the usage page of a key's codes.
const UsbForm& usbForm();

// Program form to USB form, in place. Returns 1 without doing anything when
// usb_f is not set, else 0.
int sc2hid(State& st, std::span<uint8_t> buffer);

}  // namespace ptu
