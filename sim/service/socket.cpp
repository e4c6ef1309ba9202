#include "sim/service/socket.h"

#include "platform/devframe.h"
#include "sim/model/functions.h"
#include "sim/service/service.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kbdsim {

namespace frame = ptu::frame;

namespace {

bool makeAddress(const std::string& path, sockaddr_un& sa)
{
    std::memset(&sa, 0, sizeof sa);
    sa.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof sa.sun_path) return false;
    std::memcpy(sa.sun_path, path.c_str(), path.size());
    return true;
}

}  // namespace

int connectTo(const std::string& path)
{
    sockaddr_un sa;
    if (!makeAddress(path, sa)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        int e = errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    return fd;
}

void setTimeouts(int fd, int seconds)
{
    timeval tv{seconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool probeAnswers(const std::string& path, bool* byKbdsim)
{
    int fd = connectTo(path);
    if (fd < 0) return false;
    setTimeouts(fd, 3);
    uint8_t buf[1] = {0};
    bool ok = false;
    int error = 0;
    uint32_t returned = 0;
    bool answered = frame::sendRequest(fd, codeOf(kCtl8042), buf, 1, 1) &&
                    frame::readReply(fd, buf, 1, ok, error, returned);
    ::close(fd);
    if (byKbdsim) *byKbdsim = answered && ok && returned == 1 && buf[0] == 0x55;
    return answered;
}

int listenOn(const std::string& path, ino_t& inode)
{
    sockaddr_un sa;
    if (!makeAddress(path, sa)) {
        say(path + ": socket path empty or too long");
        return -1;
    }
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            say(path + " exists and is not a socket; not touching it");
            return -1;
        }
        int other = connectTo(path);
        if (other >= 0) {
            ::close(other);
            say(path + " is already served by another process");
            return -1;
        }
        if (errno != ECONNREFUSED && errno != ENOENT) {
            say(path + ": cannot tell whether it is in use: " + std::strerror(errno));
            return -1;
        }
        ::unlink(path.c_str());
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        say(std::string("socket: ") + std::strerror(errno));
        return -1;
    }
    mode_t old = ::umask(0177);
    int rc = ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    int bindErr = errno;
    ::umask(old);
    if (rc != 0) {
        say(path + ": bind: " + std::strerror(bindErr));
        ::close(fd);
        return -1;
    }
    if (::chmod(path.c_str(), 0600) != 0 || ::listen(fd, 16) != 0 || ::lstat(path.c_str(), &st) != 0) {
        say(path + ": " + std::strerror(errno));
        ::close(fd);
        ::unlink(path.c_str());
        return -1;
    }
    inode = st.st_ino;
    return fd;
}

}  // namespace kbdsim
