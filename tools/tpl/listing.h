// The ptu-tpl text listing of a data file: header lines with the model,
// memory, locale and registers, and one "key" line per key with a text.
#pragma once

#include "keydata/key_captions.h"
#include "keydata/listing_text.h"
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
    int line = 0;         // where it stood in the listing
    std::string written;  // which bytes of `text` stood as themselves, not as escapes
};

struct Listing {
    Header header;
    std::vector<KeyLine> keys;
    std::vector<CaptionLine> captions;  // "caption" lines, kept beside the data file
};

struct ParseError {
    int line = 0;
    std::string message;
};

// Reads a listing. On the first malformed line returns false with its
// number and what is wrong.
bool parseListing(std::string_view text, Listing& out, ParseError& err);

// The escapes and numbers of the listing (keydata/listing_text.h).
using ptu::escapeText;
using ptu::parseNumber;
using ptu::unescapeText;

}  // namespace ptu::tpl
