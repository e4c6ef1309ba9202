// The ptu-tpl text listing of a data file: header lines with the model,
// memory, locale and registers, and one "key" line per key with a text.
#pragma once

#include "keydata/tables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ptu::tpl {

// What a listing's own lines say; a line that is absent stays empty.
struct Header {
    std::optional<int> model, memory, usb, ldt, r27, r28, r29, r2a;
    std::optional<TableSetId> locale;
    std::optional<std::array<uint8_t, 7>> magcfg;
};

struct KeyLine {
    int page = 0;
    int col = 0;
    int row = 0;
    std::string text;
    int line = 0;  // where it stood in the listing
};

struct Listing {
    Header header;
    std::vector<KeyLine> keys;
};

struct ParseError {
    int line = 0;
    std::string message;
};

// Reads a listing. On the first malformed line returns false with its
// number and what is wrong.
bool parseListing(std::string_view text, Listing& out, ParseError& err);

// The macro text as a listing writes it: "\\" for a backslash, "\xHH" for
// bytes outside 0x20..0x7E and for a blank at either end.
std::string escapeText(std::string_view text);

// The reverse of escapeText; also takes \n \r \t \" \' and octal escapes.
// Returns false with a message for a broken escape.
bool unescapeText(std::string_view text, std::string& out, std::string& err);

// A number written in decimal or with 0x in hexadecimal.
std::optional<long> parseNumber(std::string_view word);

}  // namespace ptu::tpl
