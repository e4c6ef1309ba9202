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

// The window a property of `w` names, or 0 (XCB_NONE).
xcb_window_t windowProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t atom)
{
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
    xcb_window_t named = XCB_NONE;
    if (r && r->type == XCB_ATOM_WINDOW && r->format == 32 && xcb_get_property_value_length(r) == 4)
        named = *static_cast<const xcb_window_t*>(xcb_get_property_value(r));
    std::free(r);
    return named;
}

}  // namespace

bool windowManagerRunning()
{
    const char* x = std::getenv("DISPLAY");
    if (!x || !*x) return false;
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(x, &screenNumber);
    bool running = false;
    if (c && xcb_connection_has_error(c) == 0) {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
        static const char kCheck[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kCheck - 1, kCheck), nullptr);
        if (it.rem && atom && atom->atom != XCB_ATOM_NONE) {
            // A manager names a window of its own on the root, and that
            // window names itself: a name left by a manager that has gone
            // points nowhere.
            const xcb_window_t check = windowProperty(c, it.data->root, atom->atom);
            running = check != XCB_NONE && windowProperty(c, check, atom->atom) == check;
        }
        std::free(atom);
    }
    if (c) xcb_disconnect(c);
    return running;
}

bool displayUsable()
{
    const char* w = std::getenv("WAYLAND_DISPLAY");
    if (w && *w && waylandAnswers(w)) return true;
    const char* x = std::getenv("DISPLAY");
    return x && *x && xServerAnswers(x);
}

}  // namespace ptu
