#include "keydata/models.h"

namespace ptu {

namespace {

constexpr char kPlain[] = " Tessaral Programmable Keyboard ";
constexpr char kUsb[] = " Tessaral USB Programmable Keyboard ";

constexpr ModelSwitches kNone{};
constexpr ModelSwitches kPad{.pad_f = 1};
constexpr ModelSwitches kPad2{.pad_f = 2};
constexpr ModelSwitches kM60{.m60_f = 1};
constexpr ModelSwitches kM84{.m84_f = 1};
constexpr ModelSwitches kM70{.m70_f = 1};
constexpr ModelSwitches kM17{.m17_f = 1};

// clang-format off
constexpr std::array<ModelRow, kModels> kTable = {{
    // name                       also      memory kept shown kmax  caption      progress                                   road
    {"176 keys with 2K memory",   nullptr,  2048,  1,   1,    175,  CAP_DEFAULT, kPlain,                                    kNone},
    {"55 keys with 2K memory",    nullptr,  2048,  1,   1,    175,  CAP_DEFAULT, kPlain,                                    kNone},
    {"112 keys with 2K memory",   "QX-61",  2048,  6,   6,    175,  CAP_DEFAULT, kPlain,                                    kNone},
    {"112 keys with 8K memory",   nullptr,  8192,  6,   6,    175,  CAP_DEFAULT, kPlain,                                    kNone},
    {"136 keys with 8K memory",   "QX-62",  8192,  6,   6,    175,  CAP_DEFAULT, kPlain,                                    kNone},
    {"QX-11",                     nullptr,  8192,  1,   1,    175,  CAP_QX11,    " Tessaral QX-11 Programmable Keyboard ",  kPad},
    {"QX-21",                     nullptr,  8192,  1,   1,    175,  CAP_QX21,    " Tessaral QX-21  Programmable Keyboard ", kPad},
    {"QX-41",                     nullptr,  8192,  1,   1,    175,  CAP_QX41,    " Tessaral QX-41 Programmable Keyboard ",  kM60},
    {"QX-42",                     nullptr,  8192,  1,   1,    175,  CAP_QX42,    " Tessaral QX-42 Programmable Keyboard ",  kM60},
    {"QX-43",                     nullptr,  8192,  6,   6,    127,  CAP_QX43,    " Tessaral QX-43 Programmable Keyboard ",  kM84},
    {"QX-51",                     nullptr,  8192,  6,   1,    175,  CAP_QX51,    " Tessaral QX-51 Programmable Keyboard ",  kM17},
    {"QX-22",                     "QX-23",  8192,  6,   6,    175,  CAP_QX22,    " Tessaral QX-22  Programmable Keyboard ", kPad},
    {"QX-32",                     nullptr,  8192,  1,   1,    175,  CAP_QX32,    " Tessaral QX-32 Programmable Keyboard ",  kPad2},
    {"QX-63",                     nullptr,  8192,  6,   6,    127,  CAP_USB,     kUsb,                                      kM84},
    {"QX-44",                     nullptr,  8192,  6,   6,    127,  CAP_QX44,    nullptr,                                   kM70},
    {"QX-33",                     nullptr,  8192,  1,   1,    175,  CAP_USB,     kUsb,                                      kPad},
    {"QX-24",                     nullptr,  8192,  6,   1,    175,  CAP_USB,     kUsb,                                      kM84},
    {"QX-71",                     nullptr,  8192,  6,   1,    175,  CAP_USB,     kUsb,                                      kM84},
}};

constexpr std::array<UsbTypeRow, kUsbTypeCount> kUsbTypes = {{
    // caption     flags  kbt kbp kmax
    {"QX-21/25",   kPad,  6,  1,  175},
    {"QX-22",      kPad,  11, 6,  175},
    {"QX-23",      kPad,  11, 6,  175},
    {"QX-61",      kNone, 2,  6,  175},
    {"QX-62",      kNone, 4,  6,  175},
    {"QX-11",      kPad,  5,  1,  175},
    {"QX-41",      kM84,  7,  1,  175},
    {"QX-42",      kM84,  8,  1,  175},
    {"QX-43",      kM84,  9,  6,  175},
    {"QX-63",      kM84,  13, 6,  127},
    {"QX-44",      kM70,  14, 6,  175},
    {"QX-33",      kPad,  15, 1,  175},
    {"QX-24",      kM84,  16, 6,  175},
    {"QX-71",      kM84,  17, 6,  175},
}};
// clang-format on

// The models a switch names without asking, in the order they win.
constexpr int kSwitchModels[] = {9, 14, 10, 12};

// Whether every switch `sw` names is set in `fl` as it says.
bool given(const Flags& fl, const ModelSwitches& sw)
{
    return (!sw.pad_f || fl.pad_f == sw.pad_f) && (!sw.m60_f || fl.m60_f) && (!sw.m84_f || fl.m84_f) &&
           (!sw.m70_f || fl.m70_f) && (!sw.m17_f || fl.m17_f);
}

constexpr std::array<int, kModels> shownPages()
{
    std::array<int, kModels> pages{};
    for (int m = 0; m < kModels; ++m) pages[std::size_t(m)] = kTable[std::size_t(m)].shown;
    return pages;
}

}  // namespace

constinit const std::array<int, kModels> pn = shownPages();

const ModelRow& modelRow(int kbt) { return kTable[std::size_t(knownModel(kbt) ? kbt : 4)]; }

std::string modelName(int kbt)
{
    if (!knownModel(kbt)) return {};
    const ModelRow& row = modelRow(kbt);
    return row.also ? std::string(row.name) + ", " + row.also : std::string(row.name);
}

int defaultMemory(int kbt) { return knownModel(kbt) ? modelRow(kbt).memory : 8192; }

const UsbTypeRow* usbTypeRow(int type)
{
    return type >= 0 && type < kUsbTypeCount ? &kUsbTypes[std::size_t(type)] : nullptr;
}

std::optional<int> usbTypeOf(int kbt)
{
    for (int t = 0; t < kUsbTypeCount; ++t)
        if (kUsbTypes[std::size_t(t)].kbt == kbt) return t;
    return std::nullopt;
}

void applySwitches(Flags& fl, const ModelSwitches& sw)
{
    if (sw.pad_f) fl.pad_f = sw.pad_f;
    if (sw.m60_f) fl.m60_f = sw.m60_f;
    if (sw.m84_f) fl.m84_f = sw.m84_f;
    if (sw.m70_f) fl.m70_f = sw.m70_f;
    if (sw.m17_f) fl.m17_f = sw.m17_f;
}

void limitKmax(ModelValues& mv, int kmax)
{
    if (kmax < kFullKmax) mv.kmax = kmax;
}

std::optional<int> switchModel(const Flags& fl)
{
    for (int m : kSwitchModels)
        if (given(fl, modelRow(m).road)) return m;
    return std::nullopt;
}

int switchModelCount(const Flags& fl)
{
    int n = 0;
    for (int m : kSwitchModels) n += given(fl, modelRow(m).road) ? 1 : 0;
    return n;
}

Reach reachOf(int kbt, bool usb)
{
    if (!usb) return {modelRow(kbt).road, modelRow(kbt).kmax};
    const std::optional<int> type = usbTypeOf(kbt);
    if (!type) return {ModelSwitches{}, kFullKmax};
    return {kUsbTypes[std::size_t(*type)].flags, kUsbTypes[std::size_t(*type)].kmax};
}

bool singlePageSwitch(const Flags& fl, int kbt) { return (fl.pad_f && kbt != 11) || fl.m60_f; }

int pagesKept(const Flags& fl, int kbt) { return singlePageSwitch(fl, kbt) ? 1 : modelRow(kbt).kept; }

bool keepsLdt(const Flags& fl, int kbt)
{
    return fl.usb_f || !(fl.pad_f || fl.m60_f || fl.m17_f) || kbt == 10 || kbt == 11;
}

}  // namespace ptu
