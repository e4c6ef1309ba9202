// The fixed texts of the keys that some models program themselves: the
// built-in numeric pad, and the hidden keys that send the default codes.
#pragma once

#include "keydata/state.h"

#include <array>
#include <string>
#include <vector>

namespace ptu {

// Texts of the built-in numeric-pad keys, in column-then-row order of the
// keys; entry 16 (empty) goes to every key after the sixteenth.
extern const std::array<const char*, 17> kFixedPadTexts;

// Face texts of the numeric-pad keys in row order (the window's key faces).
extern const std::array<const char*, 17> kPadFaceTexts;

// Refreshes the fixed key texts in hbuf. Nothing happens below model 4, for
// model 7, without hide_f or with m17_f. With a built-in numeric pad (pad_f,
// m84_f or m70_f) the keys of kind 1 or 32 get kFixedPadTexts in column-then-
// row order, on page 0 only when pad_f is set and the model is not 11, else on
// every page. Otherwise slot 64 + i of kind 1 gets, on page 0, the codes of
// entry i of the locale's default code list.
void fcode(State& s);

// One text fcode gives: the page, the slot whose cell gets it, the text.
struct FixedText {
    int page;
    int slot;
    std::string text;
};

// The texts fcode would give under the current model, flags and locale,
// without touching hbuf (in the order fcode writes them).
std::vector<FixedText> fixedTexts(const State& s);

}  // namespace ptu
