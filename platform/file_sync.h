// The two things an open file needs that the C++ library does not offer:
// putting its content on the disk, and cutting it to a length.
#pragma once

#include <cstdio>

namespace ptu {

// Flushes `fp` and waits until its content is on the disk. Returns 0, or
// the errno value of the failure; a file system that cannot sync (EINVAL:
// a pipe, a device, some network file systems) counts as done.
int syncFile(std::FILE* fp);

// Cuts the open file `fp` to `length` bytes (after flushing it). Returns 0
// or the errno value; a file that cannot be cut (EINVAL on a device) counts
// as done.
int truncateFile(std::FILE* fp, long long length);

}  // namespace ptu
