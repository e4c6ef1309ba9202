#include "tools/drivercheck/usb_check.h"

#include "device/rwkb.h"
#include "device/usb.h"
#include "keydata/models.h"
#include "tools/drivercheck/reply_forms.h"

#include <ptu/hidpad.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace ptu::drivercheck {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kGuard = 64;         // bytes past the memory that a call must leave alone
constexpr uint8_t kGuardByte = 0xA5;

// The entry that openUSB found missing.
const char* missingEntry(int result)
{
    switch (result) {
    case OPENUSB_NO_OPEN: return "OpenHidPad";
    case OPENUSB_NO_READ: return "ReadData";
    case OPENUSB_NO_WRITE: return "WriteData";
    case OPENUSB_NO_COMMAND: return "WriteCMD";
    case OPENUSB_NO_CONFIG: return "ReadConfig";
    case OPENUSB_NO_CLOSE: return "CloseHidPad";
    default: return nullptr;
    }
}

std::string statusFault(const char* entry, int status)
{
    return std::string(entry) + " returned " + std::to_string(status) + ", not 0";
}

struct Checker {
    CheckPlatform& pf;
    Report& report;
    std::unique_ptr<State> st = std::make_unique<State>();

    // ReadData into a buffer with a guard behind the memory.
    bool readData(const char* name, Bytes& memory)
    {
        Bytes buffer(size_t(kUsbMemory) + kGuard, kGuardByte);
        const long long start = pf.clockMs();
        const int status = rwkbu(*st, pf, MODE_READ, buffer);
        const long long ms = pf.clockMs() - start;
        pf.takeNotes();
        if (status != 0) {
            report.fault(name, statusFault("ReadData", status));
            return false;
        }
        if (std::any_of(buffer.begin() + kUsbMemory, buffer.end(), [](uint8_t b) { return b != kGuardByte; })) {
            report.fault(name, "ReadData wrote past the " + std::to_string(kUsbMemory) + " bytes it was given");
            return false;
        }
        memory.assign(buffer.begin(), buffer.begin() + kUsbMemory);
        report.ok(name, std::to_string(kUsbMemory) + " bytes " + took(ms));
        return true;
    }

    void writeBack(const Bytes& memory)
    {
        // The keyboard's own memory goes back: the model byte check of a
        // Write has nothing to say about it.
        st->fl.nochk_f = 1;
        Bytes buffer = memory;
        const long long start = pf.clockMs();
        const int status = rwkbu(*st, pf, MODE_WRITE, buffer);
        const long long ms = pf.clockMs() - start;
        pf.takeNotes();
        if (status != 0) {
            report.fault("WriteData", statusFault("WriteData", status));
            return;
        }
        if (buffer != memory) {
            report.fault("WriteData", "WriteData changed the buffer it was given: " + memoryDifference(memory, buffer));
            return;
        }
        report.ok("WriteData", std::to_string(kUsbMemory) + " bytes " + took(ms));
        Bytes back;
        if (!readData("ReadData again", back)) return;
        if (std::string d = memoryDifference(memory, back); !d.empty())
            report.fault("ReadData again", "the keyboard does not hold what WriteData sent: " + d);
    }
};

}  // namespace

void checkLibrary(CheckPlatform& pf, const std::string& path, bool write, Report& report)
{
    Checker c{pf, report};
    State& st = *c.st;
    st.fl.usb_f = 1;
    pf.library().setHidpadFile(path);

    const int opened = openUSB(st, pf);
    pf.takeNotes();
    if (opened == OPENUSB_NO_LIBRARY) {
        const std::string why = pf.library().errorText();
        report.fault("library", "cannot load " + path + (why.empty() ? "" : ": " + why));
    } else if (const char* entry = missingEntry(opened)) {
        report.fault("library", std::string("no entry point ") + entry + " (all six must be there)");
    } else {
        report.ok("library", path + ": the six entry points");
    }
    if (opened == OPENUSB_OPEN_FAILED) report.fault("OpenHidPad", "OpenHidPad returned a status other than 0");
    else if (opened == OPENUSB_OK) report.ok("OpenHidPad", "0");
    if (opened != OPENUSB_OK) {
        if (opened != OPENUSB_OPEN_FAILED) report.skipped("OpenHidPad", "the library is not usable");
        report.skipped("ReadConfig", "the keyboard is not open");
        report.keyboard("not identified");
        return;
    }

    const long long start = pf.clockMs();
    const int config = ReadConfig(st, pf);
    const long long ms = pf.clockMs() - start;
    const std::string notes = pf.takeNotes();
    const Registers cfg = st.rg;
    const unsigned type = cfg.r2a & 0x1F;
    char regs[128];
    std::snprintf(regs, sizeof regs, "r2a 0x%02X (type %u), r2e 0x%02X, ldt %u, r27 %u, r28 0x%02X, r29 0x%02X",
                  unsigned(cfg.r2a), type, unsigned(cfg.r2e), unsigned(cfg.ldt), unsigned(cfg.r27),
                  unsigned(cfg.r28), unsigned(cfg.r29));
    bool configured = config == 0;
    if (!configured) {
        report.fault("ReadConfig", "ReadConfig returned a status other than 0");
    } else if ((cfg.r2a & 0xE0) != 0x60 || !usbTypeRow(int(type))) {
        report.fault("ReadConfig", std::string(regs) + ": the model byte is not 0x60 plus a type code 0..13" +
                                       (notes.empty() ? "" : "; the program shows " + notes));
        configured = false;
    } else {
        report.ok("ReadConfig", std::to_string(HIDPAD_CONFIG_SIZE) + " bytes " + took(ms) + ": " + regs);
    }

    Bytes memory;
    const bool read = configured ? c.readData("ReadData", memory) : false;
    if (!configured) report.skipped("ReadData", "without its configuration the program does not use the keyboard");
    if (write) {
        if (read) c.writeBack(memory);
        else report.skipped("WriteData", "the memory was not read, so it is not written back");
    }

    int closed = 0;
    closeUSB(st, pf, &closed);
    pf.takeNotes();
    if (closed != 0) report.fault("CloseHidPad", statusFault("CloseHidPad", closed));
    else report.ok("CloseHidPad", "0");

    char id[96];
    if (configured)
        std::snprintf(id, sizeof id, "USB type %u, r2a 0x%02X, r2e 0x%02X: %d bytes of memory", type,
                      unsigned(cfg.r2a), unsigned(cfg.r2e), HIDPAD_MEMORY_SIZE);
    else
        std::snprintf(id, sizeof id, "not identified");
    report.keyboard(id);
}

}  // namespace ptu::drivercheck
