#include "platform/file_sync.h"

#include <cerrno>
#include <unistd.h>

namespace ptu {

int syncFile(std::FILE* fp)
{
    errno = 0;
    if (std::fflush(fp) != 0) return errno ? errno : EIO;
    if (fsync(fileno(fp)) != 0 && errno != EINVAL) return errno;
    return 0;
}

int truncateFile(std::FILE* fp, long long length)
{
    errno = 0;
    if (std::fflush(fp) != 0) return errno ? errno : EIO;
    if (ftruncate(fileno(fp), off_t(length)) != 0 && errno != EINVAL) return errno;
    return 0;
}

}  // namespace ptu
