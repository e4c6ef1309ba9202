// Pressing one key of the emulated keyboard: its stored macro typed into the
// X display through the XTEST extension, as the keyboard would type it.
#pragma once

#include <string>

namespace kbdsim {

// Reads the memory of the keyboard served on the connected socket `fd` (one
// READ request), takes the string of slot `slot` on page index `page`
// (`slotsPerPage` strings to a page) and types it into the display named by
// DISPLAY: key strokes in order, `gapMs` apart, delays as pauses. Returns 0,
// or 1 with what went wrong in `message` (no display, no XTEST, the socket
// did not answer, no such slot). `message` also lists codes no PC key sends.
int pressKey(int fd, int page, int slot, int slotsPerPage, unsigned gapMs, std::string& message);

}  // namespace kbdsim
