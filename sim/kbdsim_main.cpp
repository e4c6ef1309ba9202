// kbdsim: the emulated keyboard behind the driver socket. It listens on a
// Unix stream socket, serves every connection at once (one connection is one
// device handle, possibly several requests) and answers every request from
// the firmware model.
#include "platform/devframe.h"
#include "sim/cli/options.h"
#include "sim/daemon/daemon.h"
#include "sim/model/firmware.h"
#include "sim/press/press_key.h"
#include "sim/service/service.h"
#include "sim/service/socket.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kbdsim {
namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

int probe(const std::string& path) { return probeAnswers(path) ? 0 : 1; }

// --press PAGE:SLOT: the page as the window names it (1..4, P), the slot 0..175.
int press(const Options& o)
{
    const std::string_view spec = o.press;
    const std::size_t colon = spec.find(':');
    const std::string_view page = spec.substr(0, colon);
    uint32_t slot = 0;
    const int index = page == "P" || page == "p" ? 5 : page.size() == 1 && page[0] >= '1' && page[0] <= '4' ? page[0] - '1' : -1;
    if (colon == std::string_view::npos || index < 0 || !parseNumber(spec.substr(colon + 1), slot) || slot >= o.slots) {
        say("--press needs PAGE:SLOT, the page 1, 2, 3, 4 or P and the slot below " + std::to_string(o.slots));
        return 2;
    }
    int fd = connectTo(o.socket);
    if (fd < 0) {
        say("no keyboard answers on " + o.socket + ": " + std::strerror(errno));
        return 1;
    }
    setTimeouts(fd, 10);
    std::string message;
    const int rc = pressKey(fd, index, int(slot), int(o.slots), o.pressGapMs, message);
    ::close(fd);
    if (!message.empty()) say(message);
    return rc;
}

// SIGTERM and SIGINT end the service; a client gone mid-reply does not.
void catchSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

// The firmware's memory kept in the file --memory names, when it names one.
bool attachMemory(Firmware& fw, const std::string& path)
{
    if (path.empty()) return true;
    std::vector<std::string> notes;
    std::string error;
    bool ok = fw.attachFile(path, notes, error);
    for (const auto& n : notes) say(n);
    if (!ok) say(error);
    return ok;
}

int run(int argc, char** argv)
{
    Options o;
    if (int rc = parseArgs(argc, argv, o)) return rc;
    if (o.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (o.version) {
        std::printf("kbdsim %s\n", PTU_VERSION);
        return 0;
    }
    if (o.socket.empty()) o.socket = ptu::frame::portgatePath();
    if (o.probe) return probe(o.socket);
    if (!o.press.empty()) return press(o);
    if (o.stop) return stopDaemon(o.socket, o.pidfile);
    if (o.daemon) {
        // Started twice (" -K" runs its command twice): the first one serves.
        bool byKbdsim = false;
        if (probeAnswers(o.socket, &byKbdsim) && byKbdsim) {
            say(o.socket + " is already served by kbdsim");
            return 0;
        }
        if (o.memory.empty()) o.memory = defaultMemoryFile(o.socket);
    }

    if (!o.logfile.empty() && !std::freopen(o.logfile.c_str(), "a", stderr)) return 1;
    std::setvbuf(stderr, nullptr, _IOLBF, 0);

    Firmware fw(o.cfg);
    if (!attachMemory(fw, o.memory)) return 1;
    catchSignals();

    ino_t inode = 0;
    int lfd = listenOn(o.socket, inode);
    if (lfd < 0) return 1;

    if (o.daemon) {
        if (auto rc = daemonize(lfd, o.socket, o.pidfile, !o.logfile.empty())) return *rc;
    } else if (!o.pidfile.empty() && !writePidfile(o.pidfile, long(::getpid()))) {
        say(o.pidfile + ": cannot write");
    }
    if (o.verbose)
        say("listening on " + o.socket + ", " + std::to_string(fw.memory().size()) + " bytes of memory");

    ServiceOptions so;
    so.verbose = o.verbose;
    so.delayMs = o.delayMs;
    serve(lfd, fw, so, g_stop);

    ::close(lfd);
    struct stat st;
    if (::lstat(o.socket.c_str(), &st) == 0 && st.st_ino == inode) ::unlink(o.socket.c_str());
    if (o.daemon) ::unlink(runtimePidfile(o.socket).c_str());
    if (!o.pidfile.empty()) ::unlink(o.pidfile.c_str());
    if (o.verbose) say("stopped");
    return 0;
}

}  // namespace
}  // namespace kbdsim

int main(int argc, char** argv) { return kbdsim::run(argc, argv); }
