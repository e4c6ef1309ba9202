// ptu-tpl's inputs read into the key data: a data file decoded as the
// window's Load decodes it, and an input of diff or legends that may be a
// data file or a listing.
#pragma once

#include "keydata/state.h"
#include "tools/tpl/options.h"

#include <iosfwd>
#include <string>

namespace ptu::tpl {

// A data file's bytes decoded as Load decodes them, into a fresh state:
// the model settled, the registers as the file holds them, the key texts.
// Returns EXIT_OK or the exit code, having said why on `err`.
int decodeData(const Options& o, const std::string& name, const std::string& data, State& s, std::ostream& err);

// The captions of a data file: those of --captions F (which must be
// there), else those of FILE.captions when it is there.
int captionsOf(const Options& o, const std::string& name, State& s, std::ostream& err);

// One input of diff or legends decoded: a data file (it holds 0 bytes, a
// listing never does) as decode reads it, with the captions beside it; a
// listing built into its image and read back the same way, with its caption
// lines; so that both are in the codec's normalised form. Returns EXIT_OK, or
// the exit code having said why.
int loadInput(const Options& o, const std::string& name, std::istream& in, State& s, std::ostream& err);

}  // namespace ptu::tpl
