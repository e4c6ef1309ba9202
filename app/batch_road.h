// The batch roads "-r", "-w", "-R" and "-W": the progress box alone, up to
// five attempts to identify the keyboard, one transfer between the keyboard
// and a raw file, and the transfer's status as the exit code.
#pragma once

#include "keydata/state.h"
#include "platform/platform.h"

#include <string>

namespace ptu {

class QtPlatform;

inline constexpr char kDetecting[] = "Detecting Keyboad ...";
inline constexpr char kNoKeyboard[] = "No keyboard answered: nothing was transferred.";

// The exit code of a run in which the keyboard never identified itself.
constexpr int kNoKeyboardExit = 1;

// The sequence itself on any platform, the progress box reached through it:
// the file made ready (a file that cannot be used ends the run before any
// request), detection, the transfer chosen by bat_f, the closing tone and
// operations. Returns the exit code; an interrupted run returns 128 plus the
// signal's number at once.
int batchRoad(State& st, Platform& pf, const std::string& cp);

// The road as the program runs it: catches the interrupting signals,
// creates the progress box TAboutBox1, binds it to the platform, runs
// batchRoad and destroys the box.
int runBatchRoad(State& st, QtPlatform& pf, const std::string& cp);

}  // namespace ptu
