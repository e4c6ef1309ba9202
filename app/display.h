// Which window system the run gets, decided before the application object
// exists: a display that is named but cannot be opened (a stale DISPLAY
// under ssh, sudo or cron) counts as none, so the batch roads and the help
// work on Qt's offscreen platform instead of aborting.
#pragma once

namespace ptu {

// Chooses the offscreen platform when no display can be opened. Returns
// whether the run is headless.
bool settleDisplay();

// The window road without a display: one line on standard error saying
// why; returns the exit code 1.
int windowWithoutDisplay();

}  // namespace ptu
