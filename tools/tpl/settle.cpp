#include "tools/tpl/settle.h"

#include "keydata/charset.h"
#include "keydata/keypos.h"
#include "keydata/models.h"
#include "platform/locale.h"

#include <utility>

namespace ptu::tpl {

namespace {

// What the tool knows of the models: the USB type switch, the model each
// model switch names and the switches with which the driver road reaches
// each model.

// The model and its flags as the USB type switch gives them.
struct UsbType {
    int kbt;
    int pad, m84, m70, kmax;
};
constexpr UsbType kUsbTypes[14] = {
    {6, 1, 0, 0, 175},  {11, 1, 0, 0, 175}, {11, 1, 0, 0, 175}, {2, 0, 0, 0, 175},
    {4, 0, 0, 0, 175},  {5, 1, 0, 0, 175},  {7, 0, 1, 0, 175},  {8, 0, 1, 0, 175},
    {9, 0, 1, 0, 175},  {13, 0, 1, 0, 127}, {14, 0, 0, 1, 175}, {15, 1, 0, 0, 175},
    {16, 0, 1, 0, 175}, {17, 0, 1, 0, 175},
};

std::optional<int> usbTypeOf(int kbt)
{
    for (int t = 0; t < 14; ++t)
        if (kUsbTypes[t].kbt == kbt) return t;
    return std::nullopt;
}

// The model a file of USB form names by its type byte.
std::optional<int> usbModelOf(std::size_t fileSize, const uint8_t* data)
{
    if (fileSize < 8192) return std::nullopt;
    const int type = data[8192 - 4] & 0x1F;
    if (type < 14) return kUsbTypes[type].kbt;
    return std::nullopt;
}

// The models the switches -8, -7, -b and -2 name.
constexpr int kSwitchModels[] = {9, 14, 10, 12};

// The flags with which the program reaches the model: on the USB road those
// of its USB type, on the driver road the switches (the USB-only models with
// those of their USB type).
void roadFlags(int kbt, Flags& fl, int& kmax)
{
    if (fl.usb_f) {
        if (const auto t = usbTypeOf(kbt)) {
            fl.pad_f = kUsbTypes[*t].pad;
            fl.m84_f = kUsbTypes[*t].m84;
            fl.m70_f = kUsbTypes[*t].m70;
            kmax = kUsbTypes[*t].kmax;
        }
        return;
    }
    switch (kbt) {
    case 5: case 6: case 11: case 15: fl.pad_f = 1; break;
    case 12: fl.pad_f = 2; break;
    case 7: case 8: fl.m60_f = 1; break;
    case 9: case 13: fl.m84_f = 1; kmax = 127; break;
    case 14: fl.m70_f = 1; kmax = 127; break;
    case 10: fl.m17_f = 1; break;
    case 16: case 17: fl.m84_f = 1; break;
    default: break;
    }
}

// The pages a model keeps in memory, with the flags it is reached with.
int pagesKept(int kbt, const Flags& fl)
{
    if ((fl.pad_f && kbt != 11) || fl.m60_f) return 1;
    return (kbt == 10 || kbt == 16 || kbt == 17) ? 6 : pn[kbt];
}

// The r2a of a file without one: the USB type on the USB road, else 0.
int defaultR2a(int kbt, bool usb)
{
    const auto type = usbTypeOf(kbt);
    return usb && type ? 0x60 + *type : 0;
}

// ---- Settling from the options, the listing and the file ----

// A data file does not name its model: decode takes the one the program's
// memory-type chooser offers first, and says so.
constexpr int kDefaultModel = 4;

// The model: a model switch's "without asking", else --model, the
// listing's, the USB type of the file, or (decoding) the default.
std::optional<Failure> settleModel(const Options& o, const Header& h, bool decoding, bool usb, std::size_t fileSize,
                                   const uint8_t* data, int& kbt, std::string& notice)
{
    std::optional<int> switchModel;
    int switches = 0;
    const bool on[] = {o.m84, o.m70, o.m17, o.pad == 2};
    for (std::size_t i = 0; i < std::size(on); ++i) {
        if (!on[i]) continue;
        ++switches;
        switchModel = kSwitchModels[i];
    }
    if (switches > 1) return bad("-8, -7, -b and -2 each choose a model: give one of them");
    if (switchModel && o.model && *o.model != *switchModel)
        return bad("--model " + std::to_string(*o.model) + " contradicts the model switch (model " +
                   std::to_string(*switchModel) + ")");
    std::optional<int> model = switchModel ? switchModel : o.model ? o.model : h.model;
    if (!model && decoding && usb) model = usbModelOf(fileSize, data);
    if (!model && decoding) {
        model = kDefaultModel;
        notice = "no model given; decoding as model " + std::to_string(kDefaultModel) +
                 " (give --model N or a model switch for another)";
    }
    if (!model) return bad("the model is not known: give --model N, a model switch or a \"model\" line");
    kbt = *model;
    return std::nullopt;
}

// The flags: the switches given, else those the model is reached with.
void settleFlags(const Options& o, State& s)
{
    Flags& fl = s.fl;
    fl.m84_f = o.m84;
    fl.m70_f = o.m70;
    fl.m17_f = o.m17;
    fl.pad_f = o.pad;
    fl.m60_f = o.m60;
    fl.hide_f = o.noHide ? 0 : 1;
    fl.raw_f = o.raw;
    int kmax = (o.m84 || o.m70) ? 127 : 175;
    const bool anySwitch = o.m84 || o.m70 || o.m17 || o.pad || o.m60;
    if (!anySwitch) roadFlags(s.mv.kbt_f, fl, kmax);
    s.mv.kmax = o.kmax.value_or(kmax);
}

// The memory size: --memory, the listing's, the file's size (decoding), or
// what the model's chooser gives.
std::optional<Failure> settleMemory(const Options& o, const Header& h, bool decoding, std::size_t fileSize,
                                    State& s)
{
    const Flags& fl = s.fl;
    ModelValues& mv = s.mv;
    const bool eightK = fl.usb_f || fl.m84_f || fl.m70_f || fl.m17_f;
    std::optional<int> memory = o.memory ? o.memory : h.memory;
    if (!memory && decoding) {
        if (fileSize != 2048 && fileSize != 4096 && fileSize != 8192)
            return bad("the memory size is not known: the file has " +
                       (fileSize > 8192 ? std::string("more than 8192") : std::to_string(fileSize)) +
                       " bytes; give --memory");
        memory = int(fileSize);
    }
    mv.kbb_f = memory.value_or(eightK ? 8192 : defaultMemory(mv.kbt_f));
    mv.kbp_f = pagesKept(mv.kbt_f, fl);
    mv.lmt = mv.kbp_f == 1 ? mv.kbb_f - 16 : mv.kbb_f - 102;
    update_globals(s);  // the grid extent that names the keys ("1A1")
    return std::nullopt;
}

// The key tables: --locale, the listing's, else those of the system's language.
void settleLocale(const Options& o, const Header& h, State& s, std::string& notice)
{
    if (o.locale || h.locale) {
        s.loc.tset = o.locale ? *o.locale : *h.locale;
        return;
    }
    const LanguageIds ids = systemLanguageIds();
    s.loc.tset = chooseTableSet(ids.lcid, ids.lgid, ids.ulgid);
    notice += std::string(notice.empty() ? "" : "; ") + "no locale given: using the " + keyboardName(s.loc.tset) +
              " tables of the system's language (give --locale " + tableSet(s.loc.tset).tag + " or another)";
}

// Registers: the listing's, else the program's defaults for the road.
void settleRegisters(const Header& h, State& s)
{
    const bool usb = s.fl.usb_f;
    s.rg.ldt = uint8_t(h.ldt.value_or(16));
    s.rg.r27 = uint8_t(h.r27.value_or(4));
    s.rg.r28 = uint8_t(h.r28.value_or(usb ? 0x05 : 0xE8));
    s.rg.r29 = uint8_t(h.r29.value_or(usb ? 0x02 : 0x9E));
    s.rg.r2a = uint8_t(h.r2a.value_or(defaultR2a(s.mv.kbt_f, usb)));
    if (h.magcfg) s.kd.magcfg = *h.magcfg;
}

}  // namespace

std::optional<Failure> settle(const Options& o, const Header& h, State& s, bool decoding, std::size_t fileSize,
                              const uint8_t* data, std::string& notice)
{
    s.fl.usb_f = o.usb || h.usb.value_or(0) == 1;
    if (auto f = settleModel(o, h, decoding, s.fl.usb_f, fileSize, data, s.mv.kbt_f, notice)) return f;
    settleFlags(o, s);
    if (auto f = settleMemory(o, h, decoding, fileSize, s)) return f;
    settleLocale(o, h, s, notice);
    settleRegisters(h, s);
    return std::nullopt;
}

}  // namespace ptu::tpl
