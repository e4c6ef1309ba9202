// The model decision made while the main window is created: which keyboard
// model the run works with (from the identification, a switch, the USB type
// or a chooser), its memory layout, the registers that follow from it, and
// the window's caption.
#pragma once

#include "keydata/captions.h"
#include "keydata/state.h"
#include "platform/platform.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ptu {

// The driver model chooser as the decision prepares it: four button captions,
// of which the first `shown` are offered; kbt_f holds the preset model.
struct DriverChoice {
    std::array<const char*, 4> captions{};
    int shown = 0;
};

// The two choosers of the port-driver road, shown modally. Each leaves the
// chosen model in kbt_f, or sets cancel_f.
struct ModelChoosers {
    std::function<void(State&)> memoryType;                        // the five memory types
    std::function<void(State&, const DriverChoice&)> driverModel;  // small or large models
    // A line the choosers show above their buttons: why the keyboard did not
    // name its model ("" shows none).
    std::function<void(const std::string&)> explain;
};

// Runs the decision on the identification already made: reads the caption
// files (each looked up in `captionFolders`), settles kbt_f, kbb_f, kbp_f, lmt and kmax, shows a chooser where
// needed, adjusts the registers of a port-driver keyboard and fills the fixed
// key texts. Returns the window caption, or nothing when a chooser was
// cancelled (cancel_f is then set and the program ends).
std::optional<std::string> modelDecision(State& st, Platform& pf,
                                         const std::vector<std::string>& captionFolders,
                                         const ModelChoosers& choosers);

}  // namespace ptu
