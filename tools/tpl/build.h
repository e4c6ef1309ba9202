// A listing built into a data-file image, as the window's Save builds one,
// with what did not go in as the listing has it.
#pragma once

#include "keydata/round_trip.h"
#include "keydata/state.h"
#include "tools/tpl/options.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace ptu::tpl {

// A doubt about a listing's key: the line and what is wrong.
struct Doubt {
    int line;
    std::string text;
};

// What the image does not hold as the listing has it: the keys left out,
// the texts replaced by the model's fixed ones, and the doubts (characters
// the locale's keyboard lacks, key texts the keyboard would not give back),
// each doubt with its line, in the order of the lines.
struct BuildReport {
    std::vector<std::string> leftOut, replaced;
    std::vector<Doubt> doubts;
};

// The listing `text` (read from `name`) settled and built into an image in
// s.buf.ibuf. Returns EXIT_OK, or the exit code having said why on `err`.
int buildFromListing(const Options& o, const std::string& name, const std::string& text, State& s,
                     std::ostream& err, BuildReport& report);

// "key PAGE COLUMN ROW (position): what the keyboard would give back".
std::string problemText(const State& s, const KeyProblem& k);

}  // namespace ptu::tpl
