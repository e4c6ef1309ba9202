// The model, flags, locale and registers a data file or listing is read and
// written with: the options win, then the listing's own lines, then (when
// decoding) what the file itself tells.
#pragma once

#include "keydata/state.h"
#include "tools/tpl/listing.h"
#include "tools/tpl/options.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ptu::tpl {

// Settles the model values, flags, locale and registers of `s` from the
// options, the listing's header `h` and, when `decoding`, the file's
// `fileSize` bytes at `data`. What was taken without being told is said in
// `notice`.
std::optional<Failure> settle(const Options& o, const Header& h, State& s, bool decoding, std::size_t fileSize,
                              const uint8_t* data, std::string& notice);

}  // namespace ptu::tpl
