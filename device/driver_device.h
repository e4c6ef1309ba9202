// Opening the driver device: the trace of the access-rights steps, then the
// first device, else the second.
#pragma once

#include "keydata/state.h"
#include "platform/platform.h"

namespace ptu {

// Logs the two access-rights steps (the descriptor and its open access list)
// with the last error after each; `lead` starts the first line.
void logDeviceAccess(State& st, Platform& pf, const char* lead);

// Opens "portgate", else "vptu", logging each attempt. Returns kNoDevice
// when neither opens.
DevHandle openDriverDevice(State& st, Platform& pf);

}  // namespace ptu
