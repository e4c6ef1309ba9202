#include "sim/press/press_key.h"

#include "platform/devframe.h"
#include "platform/driver_protocol.h"
#include "sim/model/strokes.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace kbdsim {

namespace {

namespace frame = ptu::frame;
namespace driver = ptu::driver;

constexpr uint32_t kLargestMemory = 8192;

// The memory as the READ reply carries it: nibble pairs after the first
// byte, up to the end mark.
bool readMemory(int fd, std::vector<uint8_t>& memory, std::string& message)
{
    const driver::Operation& read = driver::kOperations[1];
    std::vector<uint8_t> buf(read.out.of(kLargestMemory), 0);
    bool ok = false;
    int error = 0;
    uint32_t returned = 0;
    if (!frame::sendRequest(fd, read.code(), buf.data(), read.in.of(kLargestMemory), uint32_t(buf.size())) ||
        !frame::readReply(fd, buf.data(), uint32_t(buf.size()), ok, error, returned) || !ok) {
        message = "the keyboard did not answer the READ request";
        return false;
    }
    memory.clear();
    for (uint32_t i = 1; i + 1 < returned && buf[i] != driver::kEndMark; i += 2)
        memory.push_back(uint8_t((buf[i] & 0x0F) << 4 | (buf[i + 1] & 0x0F)));
    return true;
}

}  // namespace

int pressKey(int fd, int page, int slot, int slotsPerPage, unsigned gapMs, std::string& message)
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        message = "no display: pressing a key types into an X display (set DISPLAY)";
        return 1;
    }
    std::vector<uint8_t> memory;
    if (!readMemory(fd, memory, message)) return 1;
    const auto macro = slotString(memory, page, slot, slotsPerPage);
    if (!macro) {
        message = "the memory holds no slot " + std::to_string(slot) + " on that page";
        return 1;
    }
    Display* dpy = XOpenDisplay(name);
    if (!dpy) {
        message = std::string("cannot open the display ") + name;
        return 1;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
        XCloseDisplay(dpy);
        message = std::string("the display ") + name + " has no XTEST extension";
        return 1;
    }
    const Typing typing = strokesOf(*macro);
    for (const Stroke& s : typing.strokes) {
        if (s.key == 0) {
            XSync(dpy, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(s.pauseMs));
            continue;
        }
        // X11 numbers a key by its input event code plus 8.
        XTestFakeKeyEvent(dpy, s.key + 8u, s.down ? True : False, CurrentTime);
        XSync(dpy, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
    }
    XCloseDisplay(dpy);
    message.clear();
    for (const std::string& codes : typing.skipped)
        message += (message.empty() ? "codes no PC key sends were left out: " : ", ") + codes;
    return 0;
}

}  // namespace kbdsim
