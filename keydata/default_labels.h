// The default key names the grid shows before any key data is read: the
// key-lock and fixed-function names, the numeric keys of model 1, the
// position names of every page and the numeric-pad labels.
#pragma once

#include "keydata/state.h"

#include <array>
#include <string>

namespace ptu {

// The position name of a cell: for a model with more than one page the page
// character ("1".."5", "P" for page index 5), then the column letter ("A"
// for column kxs) and the row character ("1".."9" for the first nine rows
// from kys, "a".."f" after them).
std::string positionName(const ModelValues& mv, int page, int col, int row);

// What the first page's panels show at creation besides their caption.
struct FirstPageFaces {
    // Bold yellow caption (the numeric keys, and the numeric pad while hidden
    // keys stay hidden), with the hint the panel gets.
    std::array<std::array<bool, kCols>, kRows> yellow{};
    std::array<std::array<std::string, kCols>, kRows> hint;
};

// Fills kcap of every page shown (and, with dup_f, hbuf too) with the
// default names of model mv.kbt_f. Logs every label it takes from a list.
FirstPageFaces defaultLabels(State& st);

}  // namespace ptu
