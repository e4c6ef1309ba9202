// The USB keyboard library's check: the calls the program makes, in its
// order, through the program's own binding of the library.
#pragma once

#include "tools/drivercheck/check_platform.h"
#include "tools/drivercheck/check_report.h"

#include <string>

namespace ptu::drivercheck {

// Loads `path` and resolves the six entries, then OpenHidPad, ReadConfig,
// ReadData; with `write` WriteData of the memory read and a ReadData of it;
// CloseHidPad. Nothing is written unless the memory was read.
void checkLibrary(CheckPlatform& pf, const std::string& path, bool write, Report& report);

}  // namespace ptu::drivercheck
