// Comparing two sets of key data: the keys whose texts differ, and the
// registers and stripe-reader settings that differ.
#pragma once

#include "keydata/state.h"

#include <array>
#include <string>
#include <vector>

namespace ptu {

struct KeyDifference {
    int page, col, row;
    std::string a, b;
};

// The cells of model mv.kbt_f whose texts differ, page by page in grid order.
// The cell of slot 0 on page 1 of models above 1 holds ldt, not a key text,
// and is left out.
std::vector<KeyDifference> compareKeys(const ModelValues& mv, const PageTexts& a, const PageTexts& b);

// One line per register that differs ("r28 0xE8 0xE0") and one for magcfg.
std::vector<std::string> compareSettings(const Registers& ra, const std::array<uint8_t, 7>& ma,
                                         const Registers& rb, const std::array<uint8_t, 7>& mb);

}  // namespace ptu
