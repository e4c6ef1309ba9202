// ptu-tpl's command line: the command, its inputs and output, and the
// options, read from one table that gives each option its argument, the
// commands that take it and its range.
#pragma once

#include "keydata/tables.h"

#include <optional>
#include <string>
#include <vector>

namespace ptu::tpl {

struct Options {
    std::string command;
    std::string input;
    std::string input2;  // diff: the second file or listing
    std::string output;
    std::optional<int> model, memory, kmax;
    std::optional<TableSetId> locale;
    bool usb = false;
    bool strict = false;  // a key text the keyboard would not give back is an error, not a warning
    std::string captions;  // decode, legends: the captions file instead of FILE.captions
    std::optional<double> pitch;  // legends: the key pitch in mm
    bool texts = false;           // legends: the programming sheets too
    // The program's model switches.
    bool m84 = false, m70 = false, m17 = false, m60 = false, noHide = false, raw = false;
    int pad = 0;
};

// A refusal: the exit code and what is said.
struct Failure {
    int code;
    std::string message;
};

// A refusal of the arguments or of a listing (EXIT_BAD_INPUT).
Failure bad(std::string message);

// Reads the arguments (without the program name, the command first) into
// `o`; the first argument it cannot take is refused.
std::optional<Failure> parseArgs(const std::vector<std::string>& args, Options& o);

}  // namespace ptu::tpl
