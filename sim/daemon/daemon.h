// kbdsim as a daemon: going to the background once its socket listens, the
// pid files through which --stop finds it, and where it keeps its memory
// unless told.
#pragma once

#include <optional>
#include <string>

namespace kbdsim {

// Where a daemon notes its process id, so that --stop finds it: under
// $XDG_RUNTIME_DIR (else /tmp), named after the socket.
std::string runtimePidfile(const std::string& socket);

// Where a daemon keeps its memory unless told: $XDG_STATE_HOME/kbdsim, else
// ~/.local/state/kbdsim; empty when neither can be named.
std::string defaultMemoryFile(const std::string& socket);

// Writes the process id; the daemon's own pid file also names the socket
// (a --pidfile holds the number alone, for scripts that kill what it holds).
bool writePidfile(const std::string& path, long pid, const std::string& socket = {});

// --stop: ends the daemon serving `socket`, found through its pid file or
// `pidfile` when given, and waits for it to go. Returns the exit code.
int stopDaemon(const std::string& socket, const std::string& pidfile);

// Goes to the background once `lfd` listens on `socket`. The caller's
// process writes the pid files (its own and `pidfile` when given) and gets
// the exit code to end with; the daemon, detached from the terminal (its
// standard error too unless `keepStderr`), gets nothing and goes on.
std::optional<int> daemonize(int lfd, const std::string& socket, const std::string& pidfile, bool keepStderr);

}  // namespace kbdsim
