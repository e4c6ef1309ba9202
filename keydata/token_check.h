// Brace tokens that the codec does not know. The encoder never fails on
// them: it drops the "{" and stores the rest as characters, so a mistyped
// "{ENTR}" reaches the keyboard as the letters E, N, T, R and a brace. Tools
// that read texts a person typed use this to say so.
#pragma once

#include "keydata/tables.h"

#include <string>
#include <string_view>
#include <vector>

namespace ptu {

// The tokens of `text` ("{...}" as the encoder reads them) that are neither
// a key name of table set `set`, nor a "{n}" byte, nor empty; each as it
// stands, braces included, in text order.
std::vector<std::string> unknownTokens(TableSetId set, std::string_view text);

}  // namespace ptu
