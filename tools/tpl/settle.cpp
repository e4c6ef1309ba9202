#include "tools/tpl/settle.h"

#include "keydata/charset.h"
#include "keydata/keypos.h"
#include "keydata/models.h"
#include "platform/locale.h"

#include <utility>

namespace ptu::tpl {

namespace {

// The model a file of USB form names by its type byte.
std::optional<int> usbModelOf(std::size_t fileSize, const uint8_t* data)
{
    if (fileSize < 8192) return std::nullopt;
    if (const UsbTypeRow* t = usbTypeRow(data[8192 - 4] & 0x1F)) return t->kbt;
    return std::nullopt;
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
    Flags given;
    given.m84_f = o.m84;
    given.m70_f = o.m70;
    given.m17_f = o.m17;
    given.pad_f = o.pad;
    const std::optional<int> switchModel = ptu::switchModel(given);
    if (switchModelCount(given) > 1) return bad("-8, -7, -b and -2 each choose a model: give one of them");
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
    const std::optional<int> named = switchModel(fl);
    int kmax = named ? modelRow(*named).kmax : kFullKmax;
    if (!named && !o.pad && !o.m60) {
        // The switches with which the program reaches the model.
        const Reach reach = reachOf(s.mv.kbt_f, fl.usb_f);
        applySwitches(fl, reach.sw);
        kmax = reach.kmax;
    }
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
    mv.kbp_f = pagesKept(fl, mv.kbt_f);
    mv.lmt = dataLimit(mv.kbb_f, mv.kbp_f);
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
