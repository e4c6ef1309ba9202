// How texts and numbers are written in the program's own text files (the
// ptu-tpl listing, the captions kept beside a data file): C escapes that let
// every byte survive, numbers in decimal or 0x hexadecimal, and the lines
// that name a cell ("<page> <column> <row> <text>").
#pragma once

#include "keydata/tables.h"

#include <optional>
#include <string>
#include <string_view>

namespace ptu {

// The text as a listing writes it: "\\" for a backslash, "\xHH" for bytes
// outside 0x20..0x7E and for a blank at either end.
std::string escapeText(std::string_view text);

// The reverse of escapeText; also takes \n \r \t \" \' and octal escapes.
// Returns false with a message for a broken escape. `written`, when given,
// receives one byte for each byte of `out`: 1 where it stood in the text as
// itself, 0 where an escape gave it.
bool unescapeText(std::string_view text, std::string& out, std::string& err, std::string* written = nullptr);

// A listing's text as key bytes of table set `set`: characters written as
// UTF-8 (runs of bytes above 0x7F that `written` marks as standing in the
// text and that form valid UTF-8) become the set's bytes ("Größe" with the
// German set); escaped bytes and ASCII stay as they are, and so do bytes that
// are no UTF-8 (a Latin-1 editor's). Characters the set has no byte for are
// left out and listed in `refused`.
std::string listingBytes(TableSetId set, std::string_view bytes, std::string_view written, std::u32string& refused);

// A number written in decimal or with 0x in hexadecimal.
std::optional<long> parseNumber(std::string_view word);

// The next line of `text` without its line end (LF or CR LF); `text` keeps
// what follows it.
std::string_view takeLine(std::string_view& text);

// The next blank-separated word of `rest`, which keeps what follows it.
std::string_view nextWord(std::string_view& rest);

// The next line of `text` that says something, blank lines and "#" comment
// lines passed over: its first word, `rest` holding what follows the word on
// the line and `lineNo` counting every line taken. Empty at the end of `text`.
std::string_view nextItem(std::string_view& text, int& lineNo, std::string_view& rest);

// A line's cell and text after its keyword.
struct CellText {
    int page = 0;  // 0..5
    int col = 0;   // 0..21
    int row = 0;   // 0..15
    std::string text;
    std::string written;  // which bytes of `text` stood as themselves (unescapeText)
};

// Reads "<page> <column> <row> <text>" (the text after one blank, escaped).
// On a malformed line returns what is wrong, naming the line by `keyword`.
std::optional<std::string> parseCellText(std::string_view keyword, std::string_view rest, CellText& out);

}  // namespace ptu
