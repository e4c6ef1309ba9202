// The special-key menu's entries: the tokens it types into a key text, in
// the groups the menu shows, with their captions.
#pragma once

#include <span>

namespace ptu {

struct SpecialKey {
    const char* caption;
    const char* token;
};

struct SpecialKeyGroup {
    const char* menu;  // the submenu ("" for the entries of the menu itself)
    std::span<const SpecialKey> keys;
};

// Every group in menu order.
std::span<const SpecialKeyGroup> specialKeyGroups();

}  // namespace ptu
