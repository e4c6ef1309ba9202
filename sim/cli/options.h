// kbdsim's command line: the options, read from one table that gives each
// its name, how it takes its value and what it does with it.
#pragma once

#include "sim/model/firmware.h"

#include <cstdint>
#include <string>

namespace kbdsim {

struct Options {
    std::string socket;
    std::string memory;
    std::string pidfile;
    std::string logfile;
    bool daemon = false;
    bool probe = false;
    bool stop = false;
    bool version = false;
    bool verbose = false;
    bool help = false;
    uint32_t delayMs = 0;
    std::string press;         // PAGE:SLOT of the key to press
    uint32_t slots = 176;      // slots to a page, for --press
    uint32_t pressGapMs = 10;  // between the strokes of a pressed key
    Config cfg;
};

// Reads the arguments into `o`. Returns 0 when fine, 2 on a usage error
// (message printed).
int parseArgs(int argc, char** argv, Options& o);

// The text of --help.
extern const char kHelp[];

}  // namespace kbdsim
