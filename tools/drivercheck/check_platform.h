// The platform of ptu-drivercheck: the program's own device and library
// transport, without tones, with message boxes and warnings kept for the
// report instead of shown, and optionally shorter deadlines.
#pragma once

#include "platform/posix_platform.h"

#include <string>
#include <vector>

namespace ptu::drivercheck {

class CheckPlatform : public PosixPlatform {
public:
    // `deadlineCapMs` > 0: no request waits longer than that for its reply.
    explicit CheckPlatform(int deadlineCapMs = 0) : cap_(deadlineCapMs) {}

    void beep(int, int) override {}
    void messageBeep() override {}
    int messageBox(const std::string& text, const std::string& caption, int flags) override;
    void warning(const std::string& line) override { notes_.push_back(line); }

    int requestDeadlineMs(uint32_t code) const override;
    // The deadline the program itself gives a request with this code.
    int programDeadlineMs(uint32_t code) const { return PosixPlatform::requestDeadlineMs(code); }
    bool deadlineShortened(uint32_t code) const { return requestDeadlineMs(code) < programDeadlineMs(code); }

    // The message boxes and warnings since the last call, "; "-separated.
    std::string takeNotes();

private:
    int cap_;
    std::vector<std::string> notes_;
};

}  // namespace ptu::drivercheck
