#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ptu::test {

void FakePlatform::sleep(int ms)
{
    clock_ms += ms;
    events.push_back("sleep " + std::to_string(ms));
}

void FakePlatform::beep(int freq, int ms)
{
    clock_ms += ms;
    events.push_back("beep " + std::to_string(freq) + " " + std::to_string(ms));
}

int FakePlatform::messageBox(const std::string& text, const std::string& caption, int flags)
{
    events.push_back("box " + caption + " | " + text + " | " + std::to_string(flags));
    return box_answer;
}

DevHandle FakePlatform::openDevice(Device d)
{
    bool present = d == Device::portgate ? portgate_present : vptu_present;
    events.push_back(std::string("open ") + (d == Device::portgate ? "portgate" : "vptu"));
    if (!present) {
        last_ = ENOENT;
        return kNoDevice;
    }
    return next_handle_++;
}

bool FakePlatform::request(DevHandle h, uint32_t code, uint8_t* buf, uint32_t inLen, uint32_t outLen,
                           uint32_t& returned)
{
    char text[64];
    std::snprintf(text, sizeof text, "request %x %u %u", code, inLen, outLen);
    events.push_back(text);
    std::vector<uint8_t> in(buf, buf + inLen);
    sent.push_back(in);
    returned = 0;
    if (h == kNoDevice) {
        last_ = EBADF;
        return false;
    }
    ScriptedReply r;
    if (!replies.empty()) {
        r = std::move(replies.front());
        replies.pop_front();
    } else if (handler) {
        r = handler(code, in, outLen);
    }
    // Like the driver, never more than the output length.
    size_t n = std::min<size_t>(r.data.size(), outLen);
    if (n) std::memcpy(buf, r.data.data(), n);
    returned = uint32_t(n);
    last_ = r.error;
    return r.ok;
}

void FakePlatform::closeDevice(DevHandle) { events.push_back("close"); }

void FakePlatform::progressText(const std::string& text, Colour colour)
{
    char c[16];
    if (colour == kKeepColour) std::snprintf(c, sizeof c, "-");
    else std::snprintf(c, sizeof c, "%06X", colour);
    events.push_back("progress text " + text + " " + c);
}

void FakePlatform::progressBar(bool visible, int position, int step)
{
    events.push_back("progress bar " + std::string(visible ? "shown " : "hidden ") + std::to_string(position) +
                     " " + std::to_string(step));
}

LibHandle FakeLibrary::load(const std::string& name)
{
    calls.push_back("load " + name);
    if (!present) {
        error_ = ENOENT;
        return nullptr;
    }
    error_ = 0;
    ++loaded;
    return &module_;
}

void* FakeLibrary::symbol(LibHandle h, const std::string& name)
{
    calls.push_back("symbol " + name);
    auto it = symbols.find(name);
    if (h != &module_ || it == symbols.end() || !it->second) {
        error_ = ENOENT;
        return nullptr;
    }
    error_ = 0;
    return it->second;
}

void FakeLibrary::unload(LibHandle h)
{
    calls.push_back("unload");
    if (h == &module_) --loaded;
}

std::vector<std::string> FakePlatform::only(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const auto& e : events)
        if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
}

int FakePlatform::count(const std::string& event) const
{
    return int(std::count(events.begin(), events.end(), event));
}

}  // namespace ptu::test
