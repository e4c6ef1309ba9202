// ptu-tpl and the captions kept beside data files: the captions file of a
// data file read into the key data, and the captions printed as listing lines.
#pragma once

#include "keydata/state.h"

#include <iosfwd>
#include <string>

namespace ptu::tpl {

// Gives the keys of `s` the captions of the captions file `path`: default
// labels, then the file's lines. A missing file leaves the default labels,
// or is an error when `required`. Skipped lines are named on `err`.
// Returns EXIT_OK, or EXIT_IO having said why.
int readCaptionsInto(State& s, const std::string& path, bool required, std::ostream& err);

// The "caption" lines of every key whose caption differs from its default label.
void printCaptions(const State& s, std::ostream& out);

}  // namespace ptu::tpl
