// Start-up steps shared by every road: the driver start, the diagnostic log,
// the help box texts and the single controller operation.
#pragma once

#include "keydata/state.h"
#include "platform/platform.h"

#include <string>
#include <vector>

namespace ptu {

inline constexpr char kTitle[] = "Tessaral Programmable Keyboard Manager";
inline constexpr char kHelpText[] = " p, 4, 6, m, j, c, x, n, r, w, s, k, b, u";

// The command that starts the driver service: $PORTGATE_START, else kbdsim
// in the background on the default socket, the one in `exeDir` when it is
// there, else the one on PATH.
std::string driverStartCommand(const std::string& exeDir);

// The run's own command line with " -K" added, as advice to a user whose
// driver is not running: the program `exe` and the arguments, each as the
// shell reads it back. "" where " -K" cannot stand (after -R and -W the rest
// of the line is the file name; a line with nothing before it has no blank
// in front) or is there already.
std::string driverStartAdvice(const std::string& exe, const std::vector<std::string>& args);

// Runs the start command twice, each time followed by five message-pump
// passes with 100 ms sleeps. Its results are not examined.
void startDriver(Platform& pf, const std::string& command);

// Opens the diagnostic log at `path` only if it exists, and writes the
// header: the 24-character local date and time, then the command line.
void openLog(State& st, const std::string& path, long now, const std::string& cp);

// The controller road: one 8042 operation; returns its status. When no
// driver device opens, says why on standard error.
int controllerRoad(State& st, Platform& pf);

}  // namespace ptu
