// The commands of ptu-tpl, each given the arguments read and the streams.
// Each returns its exit code, having said why on `err` where it is not 0.
#pragma once

#include "tools/tpl/options.h"

#include <iosfwd>

namespace ptu::tpl {

// A data file as a listing on `out`.
int decode(const Options& o, std::istream& in, std::ostream& out, std::ostream& err);
// A listing as a data file (and its captions file beside it).
int encode(const Options& o, std::istream& in, std::ostream& out, std::ostream& err);
// The differences of two data files or listings on `out`.
int diff(const Options& o, std::istream& in, std::ostream& out, std::ostream& err);
// The keys of a data file or listing that the keyboard would not give back.
int check(const Options& o, std::istream& in, std::ostream& out, std::ostream& err);
// The legend sheets of a data file or listing as a PDF.
int legends(const Options& o, std::istream& in, std::ostream& err);

}  // namespace ptu::tpl
