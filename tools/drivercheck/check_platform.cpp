#include "tools/drivercheck/check_platform.h"

#include <algorithm>

namespace ptu::drivercheck {

int CheckPlatform::messageBox(const std::string& text, const std::string& caption, int flags)
{
    notes_.push_back("\"" + text + "\" (" + caption + ")");
    const int buttons = flags & 0xF;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

int CheckPlatform::requestDeadlineMs(uint32_t code) const
{
    const int own = programDeadlineMs(code);
    return cap_ > 0 ? std::min(cap_, own) : own;
}

std::string CheckPlatform::takeNotes()
{
    std::string all;
    for (const std::string& n : notes_) all += (all.empty() ? "" : "; ") + n;
    notes_.clear();
    return all;
}

}  // namespace ptu::drivercheck
