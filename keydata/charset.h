// The characters that the bytes of key texts stand for on the screen.
//
// Key texts (macro texts, captions, the clipboards) are bytes: the character
// table of the locale set maps a byte to the keys that type it. A window, a
// listing or a printed sheet shows each byte as the character it types on
// that national keyboard. The German set's bytes are Windows-1252 characters
// (E4 ä, DF ß, 80 €); the UK, Spanish, Portuguese, Norwegian, Italian and
// French sets' bytes are code page 850 characters (9C £, 87 ç, A4 ñ); the US
// set's table is ASCII, and its other bytes show as Windows-1252 characters.
// Where a table row types another character than its code page gives the
// byte, the row decides and the two bytes trade characters, so that every
// byte 1..255 stands for exactly one character and back: a text shown and
// taken back unchanged keeps every byte.
#pragma once

#include "keydata/tables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ptu {

// The character a byte stands for with the set (byte 0 stands for U+0000).
char32_t screenChar(TableSetId set, uint8_t byte);

// The byte a character stands for with the set; none for a character the
// set has no byte for.
std::optional<uint8_t> keyByte(TableSetId set, char32_t ch);

// A text of bytes as UTF-8 screen text.
std::string screenText(TableSetId set, std::string_view bytes);

// Screen text taken back as bytes. The characters the set has no byte for
// (and malformed UTF-8, as U+FFFD) are left out and listed in `refused`, in
// the order met, each once.
struct KeyText {
    std::string bytes;
    std::u32string refused;
};
KeyText keyText(TableSetId set, std::u32string_view chars);
KeyText keyText(TableSetId set, std::string_view utf8);

// The keyboard a set is for, as a user names it: "US", "UK", "Spanish",
// "Portuguese", "Norwegian", "Italian", "German", "French".
const char* keyboardName(TableSetId set);

// What the status bar says of refused characters:
// "ł is not on the German keyboard: not stored".
std::string refusedMessage(TableSetId set, std::u32string_view refused);

// UTF-8 of code points, and back (malformed sequences give U+FFFD each).
std::string utf8(std::u32string_view chars);
std::u32string codePoints(std::string_view utf8);

}  // namespace ptu
