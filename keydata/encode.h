// Encoding macro texts into the keyboard's memory image.
#pragma once

#include "keydata/state.h"

#include <string>
#include <string_view>
#include <vector>

namespace ptu {

// Why a key's macro is not in the memory image.
enum class LeftOut : uint8_t {
    memoryFull,  // no room before the tail area
    hiddenKey,   // a hidden key with hiding on holds only the text fcode gives it
    markerByte,  // a slot stored without the FF marker cannot begin with FF or FB
};

// A key whose macro is not in the memory image, and why.
struct KeyRef {
    int page;
    int col;
    int row;
    LeftOut why = LeftOut::memoryFull;
    bool operator==(const KeyRef&) const = default;
};

// A short English phrase for the reason, for a message or a list.
const char* leftOutReason(LeftOut why);

// Converts one macro text into the bytes the keyboard stores: key-name tokens
// become their codes, "{n}" the byte n modulo 256, characters the codes of
// their first character-table row (themselves with raw_f, or when no row has
// them). A "{" that opens no token is dropped. The result carries no final 0;
// a 0 produced by "{0}" or "{256}" ends the stored macro there.
std::string ttos(State& s, std::string_view text);

// ttos with the tables of `set` (characters as their own bytes with `raw`),
// without the trace.
std::string encodeText(TableSetId set, bool raw, std::string_view text);

// Lays out the key data area of s.buf.ibuf from hbuf: for every shown page
// and every slot up to kmax one 0-terminated string (ldt in slot 0 of page 0
// above model 1). Sets s.kd.used_len. Bytes after the key data keep what the
// buffer held.
//
// A key that cannot be stored faithfully is stored empty, and none of its
// bytes stay behind: every key once the data has reached kbb_f - 200 (the
// rest of that page and the later pages then hold one 0 each), a key whose
// string would reach into the tail area (keyDataEnd), a text on a hidden key
// (kind 1) that hiding stores unconverted but fcode does not give, and a
// macro of a slot without the FF marker whose first byte would read back as
// a marker (FF or FB). Returns those keys, each grid cell once, in storing
// order. The used length is htor's final write position, also when the
// page-ending zeros of a full memory lie past lmt.
std::vector<KeyRef> htor(State& s);

// Completes the image in s.buf.ibuf: clears lmt .. kbb_f - 1, writes the page
// indexes and, with six pages, the used length at kbb_f - 100.
void mkidx(State& s);

}  // namespace ptu
