#include "platform/qt/qt_platform.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ptu {

namespace {

// A Wayland compositor answers on $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY (or on
// the path itself when it is absolute).
bool waylandAnswers(const char* name)
{
    std::string path = name;
    if (path.front() != '/') {
        const char* dir = std::getenv("XDG_RUNTIME_DIR");
        if (!dir || !*dir) return false;
        path = std::string(dir) + "/" + path;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// The X server of $DISPLAY accepts a connection (authorisation included),
// as Qt's own connection would need.
bool xServerAnswers(const char* name)
{
    xcb_connection_t* c = xcb_connect(name, nullptr);
    const bool ok = c && xcb_connection_has_error(c) == 0;
    if (c) xcb_disconnect(c);
    return ok;
}

}  // namespace

bool displayUsable()
{
    const char* w = std::getenv("WAYLAND_DISPLAY");
    if (w && *w && waylandAnswers(w)) return true;
    const char* x = std::getenv("DISPLAY");
    return x && *x && xServerAnswers(x);
}

}  // namespace ptu
