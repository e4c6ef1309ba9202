// The USB road of start-up, taken when "-u" stands anywhere in the command
// line: the USB keyboard library is opened and the keyboard's configuration
// read, or the user names the model; a batch run that cannot reach the
// keyboard, and a chooser left without a model, end the program.
#pragma once

#include "device/usb.h"
#include "keydata/state.h"
#include "platform/platform.h"

#include <memory>

namespace ptu {

class QtPlatform;
class TDialog2;

// Sets usb_f and the USB start values of the registers, opens the library
// and reads the configuration; when either fails, a batch run sets cancel_f
// and any other run asks for the model through `askModel`. Returns whether
// the run goes on (cancel_f clear).
bool usbRoad(State& st, Platform& pf, const UsbModelChooser& askModel);

// The end of every road: closes the open files (the log among them), then
// the USB keyboard and its library when they are in use. Returns the exit
// status of `code` (exitStatus).
int endRun(State& st, Platform& pf, int code);

// The process keeps 8 bits of its exit status, so a result outside 0..255 (a
// USB library status such as 256 or -256) would read as another result or
// as success: such a result exits 255.
constexpr int exitStatus(int code) { return code >= 0 && code <= 255 ? code : 255; }

// The road as the program runs it: creates the USB model chooser TDialog2
// into `chooser` and runs usbRoad with it. Without a display nobody can
// answer the chooser, which then counts as cancelled. When the road ends the
// program, the chooser is destroyed, the run is ended and false returned.
bool runUsbRoad(State& st, QtPlatform& pf, std::unique_ptr<TDialog2>& chooser);

}  // namespace ptu
