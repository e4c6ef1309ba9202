// The captions a user gives keys ("Coffee", "Void"), kept beside the data
// file as lines "caption PAGE COLUMN ROW TEXT", the text escaped as in the
// ptu-tpl listing. Only captions that differ from the key's default label
// are kept, so a model's default names never need a line.
#pragma once

#include "keydata/state.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ptu {

// The most characters a caption holds (the caption box's limit). Every
// character of the locale set is one byte.
constexpr std::size_t kCaptionChars = 9;

// Whether the model keeps a key with a caption in the cell on `page`: a page
// the model stores, a cell one of its slots names, a key shown there (or
// hidden while hidden keys stay hidden).
bool captionCell(const State& st, int page, int col, int row);

// The default labels the window gives kcap for the model and switches of `st`.
PageTexts defaultCaptions(const State& st);

struct CaptionLine {
    int page = 0;
    int col = 0;
    int row = 0;
    std::string text;  // bytes of the locale set
    int line = 0;      // where it stood in its file
};

// Every key whose caption differs from its default label, in page, row,
// column order.
std::vector<CaptionLine> changedCaptions(const State& st);

// "caption 0 0 0 Coffee", without the line end.
std::string captionLine(const CaptionLine& c);

// What the captions file beside a data file holds: a comment line naming the
// program and the model, then one line per changed caption. Empty when no
// caption differs from its default label.
std::string captionsText(const State& st);

// The fields of a caption line after its keyword. Returns what is wrong with
// a malformed one, or a text longer than kCaptionChars or holding byte 0.
std::optional<std::string> parseCaption(std::string_view rest, CaptionLine& out);

// The caption lines of a captions file. A malformed line, an item that is no
// caption line, and a second line for the same cell are named in `warnings`
// ("line 3: ...") and skipped; comment lines and blank lines are passed over.
struct CaptionsRead {
    std::vector<CaptionLine> lines;
    std::vector<std::string> warnings;
};
CaptionsRead parseCaptions(std::string_view text);

// Gives the keys their captions: every key's caption goes back to its
// default label, then each line sets its key's. A line for a cell the model
// has no key in is named in `warnings` and skipped.
void applyCaptions(State& st, const std::vector<CaptionLine>& lines, std::vector<std::string>& warnings);

}  // namespace ptu
