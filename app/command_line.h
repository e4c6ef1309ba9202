// The command line: the one string the program is started with, and the scan
// of its switches into the run's flags.
#pragma once

#include "keydata/state.h"

#include <string>

namespace ptu {

// argv[1..] joined with single blanks; an argument holding a blank is
// wrapped in double quotes.
std::string commandLine(int argc, const char* const* argv);

struct SwitchScan {
    bool help = false;         // "-?" or "-h": show the help box and end
    bool driverStart = false;  // " -K" (a blank must precede it)
    bool usb = false;          // "-u" anywhere, even inside a word
};

// Scans every "-" followed by one character into st.fl and st.mv.kmax. The
// help switches end the scan at once. The file name after "-r", "-w", "-R"
// or "-W" is stepped over: no switch, " -K" or "-u" is found inside it.
SwitchScan scanSwitches(const std::string& cp, State& st);

// Whether " -K" stands outside the file names: the driver is started before
// the log is opened and the switches are scanned.
bool asksDriverStart(const std::string& cp);

// The decimal number after "-k": leading blanks, an optional sign, digits up
// to the first non-digit; no digits give 0.
long leadingNumber(const std::string& text, size_t pos);

}  // namespace ptu
