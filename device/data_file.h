// Data files (*.tpl): the keyboard's memory image byte for byte, kbb_f bytes,
// in the keyboard's own form (HID usages on a USB keyboard). One module
// serves the window's Save and Load and the data-file tool, so a file saved
// by either is the same bytes for the same keys and registers.
#pragma once

#include "keydata/encode.h"
#include "keydata/state.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace ptu {

// Save's image in s.buf.ibuf: the buffer cleared, the fixed key texts, the
// key data, the USB form, the page indexes and the tail. Returns the keys
// that did not fit (stored empty).
std::vector<KeyRef> buildDataFile(State& s);

// How far a save got, for the log: the bytes the file took, and the result
// of the last write (the last byte written, or -1 after a failure).
struct SaveTrace {
    long written = 0;
    int last = -1;
};

// Writes the first kbb_f bytes of s.buf.ibuf to `path` through a temporary
// file renamed over it, so a failure never leaves a half-written file and
// never touches the one that was there (in a folder that takes no new file,
// over the old file, see ReplacingFile). On failure `error` says why,
// naming the file.
bool saveDataFile(const State& s, const std::string& path, std::string& error, SaveTrace* trace = nullptr);

// Reads a data file into s.buf.rbuf: at most the buffer's size, in fixed
// memory (a device or an endless file is not read for ever). Returns the
// bytes read, or -1 with `error` set when the file cannot be read. `size`,
// when given, receives the file's whole size (what was read, for a file
// that is not a regular one).
int readDataFile(State& s, const std::string& path, std::string& error, long long* size = nullptr);

// What Open says about a file before anything changes: a file shorter than
// the keyboard's image cannot be loaded (`shortText`, the second line of
// "Data Loading Failed!"); one that is longer, or whose image does not end
// in the signature 55 AA D6, may not be a data file of this keyboard
// (`doubts`: what is wrong, "" when nothing is).
struct FileCheck {
    std::string shortText;
    std::string doubts;
};
FileCheck checkDataFile(const State& s, std::span<const uint8_t> bytes, long long size);

// What Load makes of the n bytes read. A file shorter than kbb_f is refused
// and changes nothing (`whole` false). Otherwise the registers and magcfg
// are taken from the file (with the port keyboards' adjustments, or for USB
// ldt and r29 from their USB places), the image is translated back from the
// USB form and decoded into the key texts, and the fixed key texts put back.
struct LoadOutcome {
    bool whole = false;
    bool otherModel = false;  // a USB file names another model than the keyboard's
};
LoadOutcome loadDataFile(State& s, int n);

// What an image holds, decoded as Load decodes a file, on a copy of the
// state: the key texts, registers and stripe-reader settings.
struct DecodedImage {
    PageTexts hbuf;
    Registers rg;
    std::array<uint8_t, 7> magcfg{};
    bool whole = false;  // the image held the whole memory
};
DecodedImage decodeImage(const State& s, std::span<const uint8_t> image);

}  // namespace ptu
