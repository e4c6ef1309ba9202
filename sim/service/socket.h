// The Unix stream socket of the emulated keyboard: listening on it, and
// reaching the service on it (to probe it, or to press a key).
#pragma once

#include <string>
#include <sys/types.h>

namespace kbdsim {

// A connection to the socket `path`, or -1 with errno set.
int connectTo(const std::string& path);

// No send or receive on `fd` waits longer than `seconds`.
void setTimeouts(int fd, int seconds);

// Sends one "8042" request; true when it is answered, `byKbdsim` when the
// answer is the one this service gives (0x55).
bool probeAnswers(const std::string& path, bool* byKbdsim = nullptr);

// Listens on `path` with mode 0600, replacing a stale socket file nobody
// answers on. Returns the listening socket and its file's inode, or -1
// having said why.
int listenOn(const std::string& path, ino_t& inode);

}  // namespace kbdsim
