// The USB keyboard: the maker's library bound at run time, the whole-memory
// read and write through it, and the configuration it reports or the user
// names instead.
#pragma once

#include "keydata/state.h"
#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <span>

namespace ptu {

// Results of openUSB, in the order the entry points are resolved.
enum OpenUsbResult : int {
    OPENUSB_OK = 0,
    OPENUSB_NO_LIBRARY = 1,
    OPENUSB_NO_OPEN = 2,         // OpenHidPad missing
    OPENUSB_NO_CLOSE = 3,        // CloseHidPad missing
    OPENUSB_NO_READ = 4,         // ReadData missing
    OPENUSB_NO_WRITE = 5,        // WriteData missing
    OPENUSB_NO_COMMAND = 6,      // WriteCMD missing
    OPENUSB_NO_CONFIG = 7,       // ReadConfig missing
    OPENUSB_OPEN_FAILED = 8,     // OpenHidPad reported an error
};

// Results of rwkbu besides the library's own non-zero statuses.
enum RwkbuResult : int { RWKBU_OK = 0, RWKBU_NO_LIBRARY = 1, RWKBU_WRONG_KEYBOARD = 3 };

// Image positions of the registers a USB keyboard keeps in its memory.
constexpr int kUsbR29 = 8185, kUsbR27 = 8186, kUsbR28 = 8187, kUsbR2a = 8188;
constexpr int kUsbMemory = 8192;

inline constexpr char kUsbTitle[] = "Tessaral USB POS Keyboard Manager";

// Loads the USB keyboard library, resolves its six entry points and opens
// the keyboard. Demo and test mode load nothing and succeed. On any failure
// the library is unloaded again. Returns an OpenUsbResult.
int openUSB(State& st, Platform& pf);

// Closes the keyboard and unloads the library when usb_f is set and it is
// loaded (returns 0); otherwise returns 1. `closeStatus`, when given,
// receives what CloseHidPad returned (the program itself ignores it).
int closeUSB(State& st, Platform& pf, int* closeStatus = nullptr);

// The USB form of a driver operation: mode 2 reads the whole memory into
// `buffer`, mode 3 writes it from `buffer`; every other mode does nothing
// and succeeds. Returns a RwkbuResult or the library's status.
int rwkbu(State& st, Platform& pf, int mode, std::span<uint8_t> buffer);

// Reads the keyboard's 8-byte configuration block (or, in test mode, the
// fixed test block) into the registers and derives the model. Returns 0, or
// 1 when there is no configuration to read.
int ReadConfig(State& st, Platform& pf);

// Shows the USB model chooser. It leaves r2a at 0x69 or sets the chosen
// model's code, and sets cancel_f when no model was chosen.
using UsbModelChooser = std::function<void(State&)>;

// The manual model choice when the library cannot report the keyboard:
// USB defaults, the chooser, then the model from r2a. From now on reads and
// writes do nothing. Returns 0.
int AskConfig(State& st, Platform& pf, const UsbModelChooser& chooser);

// The model flags and values for the type code r2a & 0x1F. A code without a
// model shows "no such type" and keeps the values it finds.
void usbTypeSwitch(State& st, Platform& pf);

}  // namespace ptu
