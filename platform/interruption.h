// Ctrl+C, SIGTERM and SIGHUP during a batch transfer: the signal is noted
// instead of ending the process, so that the transfer stops after the block
// in flight, removes its temporary file and says what state it left.
#pragma once

namespace ptu {

// Catches SIGINT, SIGTERM and SIGHUP, except those ignored when the program
// started (as under nohup). Interrupted system calls are not restarted.
void catchInterruptions();

// The signal caught since, or 0.
int caughtInterruption();

}  // namespace ptu
