// The macro text syntax: "{NAME}" tokens of the key-name table, "{n}" byte
// tokens, and everything else as characters of the keyboard's layout.
#pragma once

#include "keydata/state.h"

#include <string>
#include <string_view>

namespace ptu {

// The longest token text between braces.
constexpr std::size_t kMaxTokenText = 63;
// The normalisation stops adding characters once its result is this long.
constexpr std::size_t kMaxMacroText = 255;

// Normalises a typed macro text before it is stored in hbuf: tokens naming a
// key of the current key-name table become "{NAME}" in upper case without
// blanks; "\{" and everything else is kept as typed. The result holds the
// first 255 characters of the text (a token begun before that is completed).
// `taken`, when given, receives how many characters of `text` the result
// holds: fewer than its size when the rest was dropped.
std::string syntex(State& s, std::string_view text, std::size_t* taken = nullptr);

}  // namespace ptu
