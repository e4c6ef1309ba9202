// How far apart two texts are: the edits (insert, delete, change, swap of
// neighbours) that turn one into the other.
#pragma once

#include <string_view>

namespace ptu {

int editDistance(std::string_view a, std::string_view b);

}  // namespace ptu
