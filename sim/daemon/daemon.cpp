#include "sim/daemon/daemon.h"

#include "sim/service/service.h"
#include "sim/service/socket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace kbdsim {

namespace {

// The socket a daemon serves when neither --socket nor $PORTGATE_SOCKET
// names one. Its pid file and memory file carry no tag.
std::string defaultSocket()
{
    if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x) return std::string(x) + "/portgate";
    return "/tmp/portgate-" + std::to_string(::getuid());
}

// The socket as one absolute path, so that "kk" and "./kk" are one socket.
std::string socketKey(const std::string& socket)
{
    std::error_code ec;
    const std::filesystem::path abs = std::filesystem::absolute(socket, ec);
    return ec ? socket : abs.lexically_normal().string();
}

// The socket path as part of a file name: "/run/user/0/kk" becomes
// "-run-user-0-kk"; the default socket needs none. Two sockets that give
// one tag are told apart by the socket named inside the pid file.
std::string socketTag(const std::string& socket)
{
    const std::string key = socketKey(socket);
    if (key == socketKey(defaultSocket())) return "";
    std::string tag = key;
    std::replace(tag.begin(), tag.end(), '/', '-');
    return tag.front() == '-' ? tag : "-" + tag;
}

// A pid file: the process id, and on the next line the socket it serves.
struct PidNote {
    long pid = 0;
    std::string socket;  // empty in a file written by hand or by --pidfile's users
};

PidNote readPid(const std::string& path)
{
    PidNote note;
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return note;
    char line[4096];
    if (std::fscanf(f, "%ld\n", &note.pid) != 1) note.pid = 0;
    if (std::fgets(line, sizeof line, f)) {
        note.socket = line;
        if (!note.socket.empty() && note.socket.back() == '\n') note.socket.pop_back();
    }
    std::fclose(f);
    return note;
}

// Whether process `pid` is a kbdsim (a pid file may outlive its process,
// and the number be given to another).
bool isKbdsim(long pid)
{
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/comm").c_str(), "r");
    if (!f) return false;
    char comm[32] = {};
    const bool got = std::fgets(comm, sizeof comm, f) != nullptr;
    std::fclose(f);
    return got && std::strncmp(comm, "kbdsim", 6) == 0;
}

}  // namespace

std::string runtimePidfile(const std::string& socket)
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    const std::string base = dir && *dir ? dir : "/tmp";
    return base + "/kbdsim" + socketTag(socket) + (dir && *dir ? "" : "-" + std::to_string(::getuid())) + ".pid";
}

std::string defaultMemoryFile(const std::string& socket)
{
    std::string state;
    if (const char* x = std::getenv("XDG_STATE_HOME"); x && *x) state = x;
    else if (const char* h = std::getenv("HOME"); h && *h) state = std::string(h) + "/.local/state";
    else return "";
    std::error_code ec;
    std::filesystem::create_directories(state + "/kbdsim", ec);
    return state + "/kbdsim/memory" + socketTag(socket) + ".bin";
}

bool writePidfile(const std::string& path, long pid, const std::string& socket)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "%ld\n", pid);
    if (!socket.empty()) std::fprintf(f, "%s\n", socketKey(socket).c_str());
    return std::fclose(f) == 0;
}

int stopDaemon(const std::string& socket, const std::string& pidfile)
{
    const std::string path = pidfile.empty() ? runtimePidfile(socket) : pidfile;
    const PidNote note = readPid(path);
    const long pid = note.pid;
    // Only the daemon of this socket is stopped: a pid file of another
    // socket that happens to share the name is left alone.
    const bool other = !note.socket.empty() && socketKey(note.socket) != socketKey(socket);
    if (pid <= 0 || other || !isKbdsim(pid)) {
        if (pid > 0 && !other) ::unlink(path.c_str());  // left by a service that is gone
        bool byKbdsim = false;
        if (probeAnswers(socket, &byKbdsim)) {
            say(socket + " is served by " + (byKbdsim ? "a kbdsim" : "a process") + " that " + path +
                " does not name; end it with its own --pidfile");
            return 1;
        }
        say("no kbdsim serves " + socket + "; nothing was stopped");
        return 0;
    }
    ::kill(pid_t(pid), SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::kill(pid_t(pid), 0) != 0) {
            say("stopped the kbdsim on " + socket);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    say("the kbdsim on " + socket + " (process " + std::to_string(pid) + ") did not stop");
    return 1;
}

std::optional<int> daemonize(int lfd, const std::string& socket, const std::string& pidfile, bool keepStderr)
{
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) {
        say(std::string("fork: ") + std::strerror(errno));
        ::close(lfd);
        ::unlink(socket.c_str());
        return 1;
    }
    if (pid > 0) {
        // The socket is listening already; the pid files are there
        // before the caller goes on.
        const std::string own = runtimePidfile(socket);
        for (const std::string& f : {own, pidfile}) {
            if (!f.empty() && !writePidfile(f, long(pid), f == own ? socket : std::string())) {
                say(f + ": cannot write");
                ::kill(pid, SIGTERM);
                return 1;
            }
        }
        return 0;
    }
    ::setsid();
    int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        if (!keepStderr) ::dup2(null, STDERR_FILENO);
        if (null > STDERR_FILENO) ::close(null);
    }
    return std::nullopt;
}

}  // namespace kbdsim
