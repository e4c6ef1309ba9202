// Whether the keyboard gives a key text back as the window shows it.
//
// A key text travels to the keyboard as bytes (the encoder), sits in its slot
// (with the macro marker, or without it on the slots that have none), on a
// USB keyboard as HID usages, and comes back through the decoder. The text
// is faithful when nothing on that way falls back (every brace token is a key
// name of the tables, a "{n}" byte or empty; every character has a key in
// the tables; no "{0}" cuts the macro short) and what comes back encodes to
// the very bytes that were sent. Every door that stores or sends key texts
// asks this one check.
#pragma once

#include "keydata/state.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ptu {

// The USB keyboard's side of the trip, which the device layer knows.
struct UsbForm {
    // A slot's stored string (the program's form, without its final 0) as
    // the USB keyboard gives it back after a write and a read.
    std::string (*roundTrip)(TableSetId set, std::string_view stored) = nullptr;
    // The usage page the codes of one key travel on (1 system control,
    // 7 keyboard, 12 consumer), 0 when some of its codes have no usage.
    int (*pageOf)(std::string_view codes) = nullptr;
};

enum class KeyVerdict : uint8_t {
    faithful,   // the keyboard gives the text back (or the cell holds no key text)
    changed,    // the keyboard gives `back` instead
    notStored,  // the text cannot be stored in its slot at all
};

struct KeyCheck {
    KeyVerdict verdict = KeyVerdict::faithful;
    std::string back;                  // key bytes the keyboard gives back (changed)
    std::vector<std::string> reasons;  // in a user's words, as UTF-8 screen text
    bool faithful() const { return verdict == KeyVerdict::faithful; }
};

// Checks `text` as the key text of cell (col, row) on `page` of the current
// model, with the state's flags and table set; `usb` (may be null) is asked
// on a USB keyboard. Cells that hold no stored key text (no slot, a page the
// model lacks, the ldt cell) are faithful.
KeyCheck checkKey(const State& s, int page, int col, int row, std::string_view text, const UsbForm* usb);

// `text` as the text of an ordinary key (stored with the macro marker).
KeyCheck checkText(const State& s, std::string_view text, const UsbForm* usb);

// The cell's own text in hbuf.
KeyCheck checkKey(const State& s, int page, int col, int row, const UsbForm* usb);

// Every key text of hbuf that the keyboard would not give back, page by page
// in slot order, each cell once.
struct KeyProblem {
    int page, col, row;
    KeyCheck check;
};
std::vector<KeyProblem> checkKeys(const State& s, const UsbForm* usb);

// The key name of the set nearest to `name` (no braces), upper case, for
// "did you mean"; "" when none is near.
std::string nearestKeyName(TableSetId set, std::string_view name);

// The reasons in one sentence each, and what comes back:
// "{ENTR} is no key name: did you mean {ENTER}? The keyboard gives back: VoidENTR{125}"
std::string describe(TableSetId set, const KeyCheck& check);

}  // namespace ptu
