// Decoding the keyboard's memory image into macro texts.
#pragma once

#include "keydata/state.h"

#include <span>
#include <string>
#include <string_view>

namespace ptu {

class Platform;

// Unpacks a keyboard read in s.buf.rbuf into plain image bytes and returns
// their number. USB reads are plain already: the first kbb_f bytes are copied
// to the image buffer. Driver reads are nibble pairs, taken from the first
// byte that is 0 or lies in D0..F0 while the position is below 2 x kbb_f + 2
// (and inside the raw buffer); the bytes land at the start of both the raw
// and the image buffer, and ldt takes byte 0.
int r2wr(State& s, Platform& pf);

// The nibble pairs of a driver read unpacked into `out`: taken from the first
// byte that is 0 or lies in D0..F0, while the position is below 2 x kbb + 2.
// Returns the bytes unpacked (never more than `out` holds).
int unpackNibbles(std::span<const uint8_t> raw, int kbb, std::span<uint8_t> out);

// Decodes the first n bytes of s.buf.rbuf into hbuf, page by page and slot by
// slot, counting 0 bytes; sets ldt from byte 0 and, when the data holds the
// whole image, magcfg from the tail. Strings are read only from the key data
// area (below lmt): when the data covers that area, slots whose strings would
// lie beyond it are emptied; shorter data leaves the slots it does not reach
// as they were. Texts are never cut, however long a stored string is.
void rtoh(State& s, int n);

// Converts one slot's stored bytes (without the final 0) into a macro text.
// A string starting with FF or FB is a macro: each position becomes the
// character of the first character row whose code is there, else "{NAME}" of
// the first key-name row whose code is there, else "{n}" for the byte. Any
// other string is shown byte for byte, whole.
std::string stot(State& s, std::string_view bytes);

// stot with the tables of `set`, without the trace.
std::string decodeText(TableSetId set, std::string_view bytes);

}  // namespace ptu
