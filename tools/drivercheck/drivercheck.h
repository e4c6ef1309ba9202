// ptu-drivercheck: checks a keyboard driver (the driver socket, or a USB
// keyboard library) against the interface the program uses, with the
// program's own transport code.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ptu::drivercheck {

enum Exit : int { EXIT_CONFORMS = 0, EXIT_FAULT = 1, EXIT_USAGE = 2 };

struct Options {
    std::string socket;   // the driver socket; "" for the program's default
    std::string library;  // a USB keyboard library to check instead
    bool write = false;
    int deadlineMs = 0;   // > 0: no reply is waited for longer
    bool help = false;
    bool version = false;
};

// Reads the arguments (without the program name). False with a message on
// a bad one.
bool parseOptions(const std::vector<std::string>& args, Options& o, std::string& error);

// Runs the check the arguments ask for; the report goes to `out`, usage
// errors to `err`. Returns an Exit.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ptu::drivercheck
