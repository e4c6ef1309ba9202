#include "platform/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace ptu {

std::string Log::defaultPath()
{
    const char* p = std::getenv("PTU_LOG");
    return (p && *p) ? std::string(p) : std::string("/ptu.log");
}

bool Log::openIfExists(const std::string& path)
{
    close();
    FILE* probe = std::fopen(path.c_str(), "r");
    if (!probe) return false;
    std::fclose(probe);
    log_fp = std::fopen(path.c_str(), "w");
    owned_ = true;
    return log_fp != nullptr;
}

void Log::close()
{
    if (log_fp && owned_) std::fclose(log_fp);
    else if (log_fp) std::fflush(log_fp);
    log_fp = nullptr;
    owned_ = true;
}

void Log::printf(const char* fmt, ...)
{
    if (!log_fp) return;
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(log_fp, fmt, ap);
    va_end(ap);
    std::fflush(log_fp);
}

std::string logDate(long t)
{
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    // asctime's layout without its line feed, 24 characters, in English
    // whatever the user's locale (strftime's %a and %b would follow it).
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char out[48];
    std::snprintf(out, sizeof out, "%s %s %2d %02d:%02d:%02d %04d", kDays[unsigned(tm.tm_wday) % 7],
                  kMonths[unsigned(tm.tm_mon) % 12], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  tm.tm_year + 1900);
    return out;
}

}  // namespace ptu
