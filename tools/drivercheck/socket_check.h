// The driver socket's check: the operations the program makes, in its
// order, through the program's own driver operations and block transfers.
#pragma once

#include "tools/drivercheck/check_platform.h"
#include "tools/drivercheck/check_report.h"

namespace ptu::drivercheck {

// INFO, DSAB, "8042", READ and the block reads; with `write` also WRITE of
// the memory read and a READ of it, block writes of it and block reads of
// it. Nothing is written unless the reads agreed on the memory.
void checkSocket(CheckPlatform& pf, bool write, Report& report);

}  // namespace ptu::drivercheck
