#include "device/usb.h"

#include "device/identify.h"

#include <ptu/hidpad.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <type_traits>

namespace ptu {

namespace {

// The entry points are called through the published declarations' types,
// with the lengths the published header names.
static_assert(std::is_same_v<UsbLink::Call, decltype(&::OpenHidPad)>);
static_assert(std::is_same_v<UsbLink::Transfer, decltype(&::ReadData)>);
static_assert(std::is_same_v<UsbLink::Transfer, decltype(&::WriteData)>);
static_assert(std::is_same_v<UsbLink::Transfer, decltype(&::WriteCMD)>);
static_assert(std::is_same_v<UsbLink::Transfer, decltype(&::ReadConfig)>);
static_assert(std::is_same_v<UsbLink::Call, decltype(&::CloseHidPad)>);
static_assert(kUsbMemory == HIDPAD_MEMORY_SIZE);
constexpr size_t kConfigBytes = HIDPAD_CONFIG_SIZE;

// The entry points in the order they are resolved, with the result that
// names each one missing and its trace line.
struct Entry {
    const char* name;
    const char* trace;
    int missing;
};
constexpr Entry kEntries[] = {
    {"OpenHidPad", " ousb=%p, lerr=%lu \n", OPENUSB_NO_OPEN},
    {"ReadData", " rdta=%p, lerr=%lu \n", OPENUSB_NO_READ},
    {"WriteData", " wtdt=%p, lerr=%lu \n", OPENUSB_NO_WRITE},
    {"WriteCMD", " wcmd=%p, lerr=%lu \n", OPENUSB_NO_COMMAND},
    {"ReadConfig", " rcfg=%p, lerr=%lu \n", OPENUSB_NO_CONFIG},
    {"CloseHidPad", " cusb=%p, lerr=%lu \n", OPENUSB_NO_CLOSE},
};

template <typename Fn>
Fn entry(void* p)
{
    return reinterpret_cast<Fn>(p);
}

void bind(UsbLink& usb, int index, void* p)
{
    switch (index) {
    case 0: usb.OpenHidPad = entry<UsbLink::Call>(p); break;
    case 1: usb.ReadData = entry<UsbLink::Transfer>(p); break;
    case 2: usb.WriteData = entry<UsbLink::Transfer>(p); break;
    case 3: usb.WriteCMD = entry<UsbLink::Transfer>(p); break;
    case 4: usb.ReadConfig = entry<UsbLink::Transfer>(p); break;
    default: usb.CloseHidPad = entry<UsbLink::Call>(p); break;
    }
}

void unloadUsb(State& st, Platform& pf)
{
    pf.library().unload(st.usb.hm);
    st.usb = UsbLink{};
}

// Each byte as " %x", a line break before every `perLine` bytes, and one at
// the end.
void logImage(Log& log, std::span<const uint8_t> image, size_t perLine)
{
    if (!log.isOpen()) return;
    for (size_t i = 0; i < image.size(); ++i) {
        if (i % perLine == 0) log.printf("\n");
        log.printf(" %x", unsigned(image[i]));
    }
    log.printf("\n");
}

void logModel(State& st)
{
    const ModelValues& mv = st.mv;
    const Registers& rg = st.rg;
    st.log.printf(" kbt_f=%lu, kbp_f=%lu, kbb_f=%lu, lmt=%lu \n", (unsigned long)mv.kbt_f,
                  (unsigned long)mv.kbp_f, (unsigned long)mv.kbb_f, (unsigned long)mv.lmt);
    st.log.printf(" r2a=%x, r2e=%x, r27=%x, r28=%x, r29=%x, ldt=%x \n", unsigned(rg.r2a), unsigned(rg.r2e),
                  unsigned(rg.r27), unsigned(rg.r28), unsigned(rg.r29), unsigned(rg.ldt));
}

// A USB keyboard is always an 8K, six-page keyboard until its type says more.
void usbDefaults(ModelValues& mv)
{
    mv.kbb_f = kUsbMemory;
    mv.kbp_f = 6;
    mv.kbt_f = 13;
    mv.lmt = 8090;
}

}  // namespace

int openUSB(State& st, Platform& pf)
{
    Log& log = st.log;
    log.printf(" in openUSB, tm=%ld \n", pf.now());
    if (st.fl.d_f || st.fl.td_f) {
        st.usb = UsbLink{};
        return OPENUSB_OK;
    }

    Library& lib = pf.library();
    pf.setLastError(0);
    LibHandle hm = lib.load(kHidpadLibrary);
    pf.setLastError(lib.error());
    log.printf(" hm=%p, lerr=%lu \n", hm, (unsigned long)pf.lastError());
    if (!hm) {
        st.usb = UsbLink{};
        return OPENUSB_NO_LIBRARY;
    }
    st.usb.hm = hm;

    for (int k = 0; k < int(std::size(kEntries)); ++k) {
        pf.setLastError(0);
        void* p = lib.symbol(hm, kEntries[k].name);
        pf.setLastError(p ? 0 : lib.error());
        log.printf(kEntries[k].trace, p, (unsigned long)pf.lastError());
        if (!p) {
            unloadUsb(st, pf);
            return kEntries[k].missing;
        }
        bind(st.usb, k, p);
    }

    const int err = st.usb.OpenHidPad();
    log.printf(" ousb, err=%lx \n", (unsigned long)(unsigned)err);
    if (err == 0) return OPENUSB_OK;
    st.usb.CloseHidPad();
    unloadUsb(st, pf);
    return OPENUSB_OPEN_FAILED;
}

int closeUSB(State& st, Platform& pf, int* closeStatus)
{
    if (!st.fl.usb_f || !st.usb.hm) return 1;
    const int status = st.usb.CloseHidPad ? st.usb.CloseHidPad() : 0;
    if (closeStatus) *closeStatus = status;
    unloadUsb(st, pf);
    return 0;
}

int rwkbu(State& st, Platform& pf, int mode, std::span<uint8_t> buffer)
{
    Log& log = st.log;
    log.printf(" in rwkbu( %ld, %p ) at %ld \n", long(mode), static_cast<void*>(buffer.data()), pf.now());
    if (st.fl.d_f || st.fl.ask_f) return RWKBU_OK;
    if (!st.fl.usb_f || !st.usb.hm) return RWKBU_NO_LIBRARY;

    // The library is handed no more than the caller's buffer holds.
    const int length = std::clamp(st.mv.kbb_f, 0, int(std::min<size_t>(buffer.size(), kUsbMemory)));
    const std::span<uint8_t> image = buffer.first(size_t(length));
    const bool haveTail = buffer.size() > size_t(kUsbR2a);
    int result = 0;

    if (mode == 2) {
        result = st.usb.ReadData(image.data(), length);
        logImage(log, image, 16);
        // The registers come from the image even after a failed read.
        Registers& rg = st.rg;
        if (haveTail) {
            rg.r2a = buffer[kUsbR2a];
            rg.r28 = buffer[kUsbR28];
            rg.r27 = buffer[kUsbR27];
            rg.r29 = buffer[kUsbR29];
        }
        if (!buffer.empty()) rg.ldt = buffer[0];
        log.printf(" r2a=%x, r2e=%x, r27=%x, r28=%x, r29=%x, ldt=%x \n", unsigned(rg.r2a), unsigned(rg.r2e),
                   unsigned(rg.r27), unsigned(rg.r28), unsigned(rg.r29), unsigned(rg.ldt));
    } else if (mode == 3) {
        logImage(log, image, 8);
        const uint8_t model = haveTail ? buffer[kUsbR2a] : 0;
        if (!st.fl.nochk_f && (!haveTail || model != st.rg.r2a)) {
            char text[80];
            std::snprintf(text, sizeof text, "The data file is not for this keyboard. (%x,%x)", unsigned(st.rg.r2a),
                          unsigned(model));
            pf.messageBox(text, kUsbTitle, MB_OK);
            return RWKBU_WRONG_KEYBOARD;
        }
        result = st.usb.WriteData(image.data(), length);
    }

    if (result != 0) pf.messageBox("Keyboard read/write failed!", kUsbTitle, MB_OK);
    return result;
}

void usbTypeSwitch(State& st, Platform& pf)
{
    const UsbTypeRow* t = usbTypeRow(st.rg.r2a & 0x1F);
    if (!t) {
        pf.messageBox("no such type", "AskConfig, util", MB_OK);
        return;
    }
    applySwitches(st.fl, t->flags);
    limitKmax(st.mv, t->kmax);
    st.mv.kbt_f = t->kbt;
    st.mv.kbp_f = t->kbp;
}

int ReadConfig(State& st, Platform& pf)
{
    Log& log = st.log;
    log.printf(" in ReadConfig at %ld, td_f=%d \n", pf.now(), st.fl.td_f);
    if (!st.fl.td_f && (!st.fl.usb_f || !st.usb.hm || st.fl.d_f)) return 1;

    usbDefaults(st.mv);
    std::array<uint8_t, kConfigBytes> cfg{};
    long rcfg = 0;
    if (st.fl.td_f) cfg = {0, 0x15, 0x69, 0x10, 4, 2, 3, 0};
    else rcfg = st.usb.ReadConfig(cfg.data(), int(cfg.size()));
    log.printf(" rcfg=%ld \n", rcfg);
    if (rcfg != 0) return 1;

    Registers& rg = st.rg;
    rg.r2a = cfg[2];
    rg.r2e = cfg[1];
    rg.r27 = cfg[4];
    rg.r28 = cfg[6];
    rg.r29 = std::max<uint8_t>(cfg[5], 2);
    rg.ldt = cfg[3];
    log.printf(" r2a & 0x1f = %u \n", unsigned(rg.r2a & 0x1F));

    usbTypeSwitch(st, pf);
    st.mv.lmt = dataLimit(st.mv.kbb_f, st.mv.kbp_f);
    logModel(st);
    return 0;
}

int AskConfig(State& st, Platform& pf, const UsbModelChooser& chooser)
{
    st.log.printf(" in AskConfig at %ld, d_f=%ld \n", pf.now(), long(st.fl.d_f));
    st.fl.ask_f = 1;
    usbDefaults(st.mv);
    Registers& rg = st.rg;
    rg = Registers{.r2a = 0x69, .r2e = 0, .r27 = 4, .r28 = 1, .r29 = 2, .ldt = 16};
    // Without a chooser nobody can name the model: as if it were cancelled.
    if (chooser) chooser(st);
    else st.fl.cancel_f = 1;

    rg.r29 = std::max<uint8_t>(rg.r29, 2);
    usbTypeSwitch(st, pf);
    st.mv.lmt = dataLimit(st.mv.kbb_f, st.mv.kbp_f);
    logModel(st);
    return 0;
}

}  // namespace ptu
