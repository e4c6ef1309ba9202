#include "platform/posix_platform.h"

#include "platform/console.h"
#include "platform/devframe.h"
#include "platform/driver_protocol.h"
#include "platform/interruption.h"
#include "platform/tone.h"

#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/un.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

namespace ptu {

void PosixPlatform::sleep(int ms)
{
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

unsigned long PosixPlatform::versionNumber()
{
    utsname u{};
    if (uname(&u) != 0) return 0;
    unsigned major = 0, minor = 0;
    std::sscanf(u.release, "%u.%u", &major, &minor);
    return (major & 0xFF) | ((minor & 0xFF) << 8);
}

int PosixPlatform::runProgram(const std::string& path, const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int e = posix_spawn(&pid, path.c_str(), nullptr, nullptr, args.data(), environ);
    if (e != 0) {
        last_ = e;
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            last_ = errno;
            return -1;
        }
    }
    last_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PosixPlatform::historyFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return std::string(state) + "/ptu/history";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/state/ptu/history";
    return {};
}

long PosixPlatform::now() { return long(std::time(nullptr)); }

long long PosixPlatform::clockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int PosixPlatform::requestDeadlineMs(uint32_t code) const { return driver::deadlineMs(code); }

void PosixPlatform::beep(int freq, int ms) { playTone(freq, ms); }

void PosixPlatform::messageBeep() {}

int PosixPlatform::messageBox(const std::string& text, const std::string& caption, int flags)
{
    // Without a window system the box is one line on standard error; it is
    // answered as its default button would be.
    stderrLines().line(caption + ": " + text);
    int buttons = flags & 0xF;
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) return IDYES;
    return IDOK;
}

DevHandle PosixPlatform::openDevice(Device d)
{
    const bool named = !socket_.empty();
    std::string path = d == Device::portgate ? (named ? socket_ : frame::portgatePath()) : frame::vptuPath();
    OpenFailure& failure = failed_[d == Device::portgate ? 0 : 1];
    failure = {path, 0};
    if (named && d != Device::portgate) {
        failure = {};
        last_ = ENOENT;
        return kNoDevice;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        last_ = failure.error = ENAMETOOLONG;
        return kNoDevice;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        last_ = failure.error = errno;
        return kNoDevice;
    }
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        last_ = failure.error = errno;
        ::close(fd);
        return kNoDevice;
    }
    return fd;
}

void PosixPlatform::warning(const std::string& line) { stderrLines().line("ptu: " + line); }

int PosixPlatform::interruption() { return caughtInterruption(); }

std::string PosixPlatform::deviceName() { return frame::portgatePath(); }

std::string shellWord(const std::string& word)
{
    const bool plain = !word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                               "0123456789/._-+=:,@%") == std::string::npos;
    if (plain) return word;
    std::string quoted = "'";
    for (char ch : word) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

std::string programFolder()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    const std::string exe(path, size_t(n));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

std::string kbdsimCommand()
{
    const std::string beside = programFolder() + "/kbdsim";
    struct stat st {};
    if (!programFolder().empty() && ::stat(beside.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(beside.c_str(), X_OK) == 0)
        return shellWord(beside);
    return "kbdsim";
}

std::string PosixPlatform::deviceProblem()
{
    const OpenFailure& first = failed_[0];
    const OpenFailure& second = failed_[1];
    if (first.error == 0) return {};
    std::string text = "cannot reach the keyboard driver at " + first.path + ": " + std::strerror(first.error);
    if (second.error != 0 && second.error != ENOENT)
        text += "; nor at " + second.path + ": " + std::strerror(second.error);
    if (first.error == ENOENT || first.error == ECONNREFUSED) {
        // Nothing serves the socket: on this system that is the emulated
        // keyboard's job.
        const char* own = std::getenv("PORTGATE_SOCKET");
        const bool other = !socket_.empty() || (own && *own);
        // Advice that works as printed: the kbdsim that can be found, the
        // socket as the shell reads it, and " -K" only where it can stand.
        text += std::string(first.error == ECONNREFUSED ? " (a socket left by a service that has ended)" : "") +
                "; start the emulated keyboard with \"" + kbdsimCommand() + " --daemon" +
                (other ? " --socket " + shellWord(first.path) : std::string()) + "\"" +
                (startAdvice_.empty() ? std::string() : ", or run \"" + startAdvice_ + "\"");
    }
    return text;
}

bool PosixPlatform::request(DevHandle h, uint32_t code, uint8_t* buf, uint32_t inLen,
                            uint32_t outLen, uint32_t& returned)
{
    returned = 0;
    if (h < 0) {
        last_ = EBADF;
        return false;
    }
    // Every request has its deadline; one that passes it leaves the stream
    // in the middle of a frame, so the handle is shut: later requests on it
    // fail at once, as after a reply that never came.
    const auto deadline = frame::Clock::now() + std::chrono::milliseconds(requestDeadlineMs(code));
    errno = 0;
    if (!frame::sendRequest(h, code, buf, inLen, outLen, deadline)) {
        last_ = errno ? errno : EIO;
        ::shutdown(h, SHUT_RDWR);
        return false;
    }
    bool ok = false;
    int err = 0;
    if (!frame::readReply(h, buf, outLen, ok, err, returned, deadline)) {
        last_ = errno == ETIMEDOUT ? ETIMEDOUT : EPIPE;
        returned = 0;
        ::shutdown(h, SHUT_RDWR);
        return false;
    }
    last_ = err;
    return ok;
}

void PosixPlatform::closeDevice(DevHandle h)
{
    if (h >= 0) ::close(h);
}

int PosixPlatform::runShell(const std::string& command)
{
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ptu
