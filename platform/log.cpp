#include "platform/log.h"

#include <cstdarg>
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
    char out[32];
    // asctime layout without its line feed: 24 characters.
    std::strftime(out, sizeof out, "%a %b %e %H:%M:%S %Y", &tm);
    return out;
}

}  // namespace ptu
