// Key texts on widgets: the bytes of a macro text, caption or clipboard text
// shown as the characters they type with the current locale set, and what a
// user typed taken back as those bytes. Every widget that shows or takes a
// key text goes through these two, so a text nobody edits keeps every byte.
#pragma once

#include "keydata/state.h"

#include <QString>

#include <string>

namespace ptu {

QString shown(const State& st, const std::string& bytes);

// The bytes of a screen text; characters the set has no byte for are left
// out and listed in `refused` when given.
std::string keyBytes(const State& st, const QString& text, std::u32string* refused = nullptr);

}  // namespace ptu
