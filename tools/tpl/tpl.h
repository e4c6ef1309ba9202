// ptu-tpl: decodes a data file into a listing and builds a data file from a
// listing, with the program's own codec.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ptu::tpl {

// Exit codes.
enum : int {
    EXIT_OK = 0,
    EXIT_IO = 1,         // a file could not be read or written
    EXIT_BAD_INPUT = 2,  // wrong arguments or a malformed listing
    EXIT_LEFT_OUT = 3,   // the file was written, but some keys are not in it
    EXIT_DIFFERENT = 1,  // diff: the two inputs differ
};

// Runs ptu-tpl with its arguments (without the program name). "-" as the
// input reads `in`, "-o -" writes the data file to `out`.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

// The usage text.
std::string usage();

}  // namespace ptu::tpl
