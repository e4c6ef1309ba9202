// The keyboard models by index (kbt_f 0..17) and the USB types that name
// them: one table each, read by the program, the tools and the tests. A row
// says what a model is (its names, memory, pages, kmax, captions) and how
// the program reaches it (the switches of the driver road); a USB type row
// says which model a USB keyboard of that type is and what the type sets.
#pragma once

#include "keydata/captions.h"
#include "keydata/state.h"

#include <array>
#include <optional>
#include <string>

namespace ptu {

constexpr int kModels = 18;

// The one check that an index names a model.
constexpr bool knownModel(int kbt) { return kbt >= 0 && kbt < kModels; }

// Model switches as the flags they set: "-4"/"-p" pad_f 1, "-2" pad_f 2,
// "-6" m60_f, "-8" m84_f, "-7" m70_f, "-b" m17_f. 0 = not set.
struct ModelSwitches {
    int pad_f = 0;
    int m60_f = 0;
    int m84_f = 0;
    int m70_f = 0;
    int m17_f = 0;
    bool operator==(const ModelSwitches&) const = default;
};

// The highest key slot of a model that handles every slot.
constexpr int kFullKmax = 175;

struct ModelRow {
    const char* name;       // as the memory-type chooser and the documentation name it
    const char* also;       // its second name, or nullptr
    int memory;             // kbb_f a chooser gives it; a data file's size unless told
    int kept;               // kbp_f: pages laid out in memory on its own road
    int shown;              // pn: pages shown
    int kmax;               // highest key slot on its own road (127 or kFullKmax)
    CaptionBuffer caption;  // the caption file's buffer on the driver road
    const char* progress;   // the progress box's caption; nullptr: the caption itself
    ModelSwitches road;     // the switches the driver road reaches it with (the
                            // USB-only models with those of their USB type)
};

// The row of a known model (knownModel); any other index gets model 4's,
// the memory-type chooser's preset.
const ModelRow& modelRow(int kbt);

// Pages shown per model.
extern const std::array<int, kModels> pn;

// "176 keys with 2K memory", "QX-22, QX-23", ...: every name of the model;
// "" outside 0..17.
std::string modelName(int kbt);

// The memory a chooser gives the model: 2048 for models 0, 1 and 2, else 8192.
int defaultMemory(int kbt);

// The USB type rows: the type code r2a & 0x1F of a USB keyboard, 0..13.
constexpr int kUsbTypeCount = 14;
struct UsbTypeRow {
    const char* caption;  // the USB model chooser's caption
    ModelSwitches flags;  // the flag the type sets (pad_f, m84_f or m70_f, or none)
    int kbt;
    int kbp;
    int kmax;             // 127 where the type handles only 128 keys
};

// The row of type `type`, or nullptr outside 0..13.
const UsbTypeRow* usbTypeRow(int type);

// The first USB type that is model `kbt`.
std::optional<int> usbTypeOf(int kbt);

// Sets the flags `sw` names; leaves the others as they are.
void applySwitches(Flags& fl, const ModelSwitches& sw);

// Lowers kmax to a row's 127; a row of kFullKmax leaves it as the command
// line set it.
void limitKmax(ModelValues& mv, int kmax);

// The model a switch names without asking ("-8" 9, "-7" 14, "-b" 10, "-2"
// 12, the first of them given, in that order), and how many of them are given.
std::optional<int> switchModel(const Flags& fl);
int switchModelCount(const Flags& fl);

// The switches and kmax a model brings when no switch names them: on the USB
// road those of its USB type (none for a model without one), else its road.
struct Reach {
    ModelSwitches sw;
    int kmax;
};
Reach reachOf(int kbt, bool usb);

// Whether a family switch lays the memory out for one page: "-4", "-p" or
// "-2" on any model but QX-22 (model 11, which keeps six), or "-6".
bool singlePageSwitch(const Flags& fl, int kbt);

// kbp_f of model `kbt` with the flags `fl`: one page where a family switch
// says so, else the pages the model keeps.
int pagesKept(const Flags& fl, int kbt);

// Whether the image keeps ldt in its byte 0: not on the driver road of a
// family switch ("-4", "-p", "-2", "-6", "-b"), except on QX-51 and QX-22.
bool keepsLdt(const Flags& fl, int kbt);

// lmt from kbb_f and kbp_f.
constexpr int dataLimit(int kbb_f, int kbp_f) { return kbp_f == 1 ? kbb_f - 16 : kbb_f - 102; }

}  // namespace ptu
