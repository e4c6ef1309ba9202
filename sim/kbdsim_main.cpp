// kbdsim: the emulated keyboard behind the driver socket. It listens on a
// Unix stream socket, serves every connection at once (one connection is one
// device handle, possibly several requests) and answers every request from
// the firmware model.
#include "platform/devframe.h"
#include "sim/model/firmware.h"
#include "sim/press/press_key.h"
#include "sim/service/service.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace kbdsim {
namespace {

namespace frame = ptu::frame;

const char kHelp[] = R"(Usage: kbdsim [options]

The emulated keyboard: answers the keyboard driver requests (INFO, READ,
WRITE, the one-byte operations, the 16-byte block read and write) on a Unix
socket, from a firmware model whose memory can be kept in a file.

Service:
  --socket PATH        socket to listen on (default: $PORTGATE_SOCKET, else
                       $XDG_RUNTIME_DIR/portgate, else /tmp/portgate-<uid>).
                       Created with mode 0600. A stale socket file that
                       nobody answers on is replaced; a live one is an error.
  --memory FILE        keep the memory image in FILE: created zero-filled when
                       missing, resized (padded with zeros or cut) when of
                       another size, rewritten after every write. Without it
                       a daemon keeps it in $XDG_STATE_HOME/kbdsim/memory.bin
                       (default ~/.local/state/kbdsim/; another socket than the
                       default one gets a file of its own there), and a
                       service in the foreground starts zeroed and loses it.
  --daemon             go to the background once the socket is listening; the
                       caller may connect as soon as kbdsim returns. A socket
                       already served by a running kbdsim is left to it (exit
                       0). The daemon writes its process id to a file under
                       $XDG_RUNTIME_DIR (else /tmp), named after the socket.
  --stop               end the daemon serving the socket (through that file,
                       or --pidfile), and wait for it to go.
  --pidfile FILE       write the service's process id to FILE as well
                       (removed at exit).
  --log FILE           append diagnostics to FILE instead of standard error
                       (a daemon without --log is silent).
  --verbose, -v        one line per request on standard error.
  --probe              do not serve: send one "8042" request to the socket and
                       exit 0 when it is answered, 1 otherwise.
  --press PAGE:SLOT    do not serve: press a key of the keyboard on the socket.
                       Its macro (slot 0..175 on page 1, 2, 3, 4 or P, the
                       0-terminated strings of its memory counted from the
                       start) is typed into the X display named by DISPLAY
                       through the XTEST extension, as the keyboard types it:
                       each code a key stroke, a modifier held until its
                       release code, {DelayN} a pause of N x 100 ms, strokes
                       --press-gap-ms apart (default 10). Exit 1 without a
                       display or when the socket does not answer.
  --slots N            slots to a page for --press (default 176; 128 on the
                       models whose pages hold 128 keys).
  --help, -h           this text.
  --version            the version.

Keyboard (numbers decimal or 0x hex):
  --r2a N              identification byte (default 0xA4). It fixes the memory
                       size: bits 5..3 = 0x20 gives 8192 bytes, 0x10 gives 4096,
                       anything else 2048; 0xBC, 0xFC and 0xFD give 2048.
  --r2e N              second identification byte (default 0x01).
  --r29 N, --r28 N, --r27 N
                       configuration registers (defaults 0x9E, 0xE8, 4). When
                       not given, a memory file whose image ends in the
                       signature 55 AA D6 supplies them (r29 at end-4, r28 at
                       end-5, r27 at end-6); every write that reaches the last
                       16 bytes of a signed image updates them the same way.
  --low-nibble-base N  high four bits of the second byte of each nibble pair
                       (default 0xD0; the first byte is always 0xD0 + nibble).

Faults (each may be given more than once; COUNT is a number or "all"; FN is a
function name - info read write keyp dsab enab dsab1 enab1 8042 ckmr bread
bwrite - or its number; a fault without @FN hits requests of any function):
  --fail-next COUNT[@FN]
                       the next COUNT requests fail: no bytes, errno EIO.
  --fail-code FN[:COUNT]
                       requests of function FN fail (default: all of them).
  --short-reply COUNT[@FN][:LEN]
                       the next COUNT replies are cut to LEN bytes; without
                       LEN to the longest reply the program still turns down
                       (info/read/write 10, bread 32, bwrite 28, others 0).
  --bad-endmark COUNT[@FN]
                       the next COUNT replies that end in the end mark 0xC0
                       (info, read, write, bread, bwrite) end in 0xC1.
  --no-frame[=COUNT]   INFO answers without a register frame (default: all).
  --ckmr-nak COUNT     the next COUNT CKMR requests are answered 0xFE.
  --block-fail ADDR[:COUNT]
                       block reads and writes of address ADDR fail (EIO),
                       COUNT times (default 1).
  --corrupt-block ADDR block writes of address ADDR are echoed as sent but
                       stored with every byte but 0, FE and FF one higher
                       (a failing memory cell that only a read-back shows).
  --drop-after N       after N requests have been answered, close the
                       connection of the next one without a reply (once).
  --no-reply COUNT[@FN]
                       the next COUNT requests are never answered: the
                       connection stays open, without a reply, until the
                       caller gives up and closes it.
  --delay-ms N         wait N milliseconds before every reply.
  A connection that sends no complete request within 5 seconds (of opening
  it, or of its last reply) is closed; other connections are served meanwhile.
  Requests are counted from the start of the service, "--probe" requests
  included; a fault with a count is used up as it hits.

What a driver must answer, for anyone writing one for a real keyboard:
docs/driver-interface.md in the source tree, installed as
share/doc/ptu/driver-interface.md (ptu-drivercheck checks a driver against it).

Wire forms (nibble pair = 0xD0 + high nibble, low base + low nibble):
  INFO    FA D6 <r2a r2e r29 r28 r27 as nibble pairs> C0      (13 bytes)
  READ    FA <the whole memory as nibble pairs> C0            (2 x size + 2)
  WRITE   input: the memory image; reply: FA <echo as pairs> C0
  bread   input: address low, address high; reply: 32 nibble bytes, C0
  bwrite  input: address low, address high, 16 bytes; reply: the stored
          block as 32 nibble bytes, C0
  8042    55; ckmr FA; keyp dsab enab dsab1 enab1: FA
  A reply longer than the request's output length fails with ENOBUFS, an
  unknown code or a malformed block request with EINVAL.
)";

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

struct Options {
    std::string socket;
    std::string memory;
    std::string pidfile;
    std::string logfile;
    bool daemon = false;
    bool probe = false;
    bool stop = false;
    bool version = false;
    bool verbose = false;
    bool help = false;
    uint32_t delayMs = 0;
    std::string press;         // PAGE:SLOT of the key to press
    uint32_t slots = 176;      // slots to a page, for --press
    uint32_t pressGapMs = 10;  // between the strokes of a pressed key
    Config cfg;
};

void say(const std::string& s) { std::fprintf(stderr, "kbdsim: %s\n", s.c_str()); }

bool parseByte(std::string_view v, uint8_t& out)
{
    uint32_t n = 0;
    if (!parseNumber(v, n) || n > 0xFF) return false;
    out = uint8_t(n);
    return true;
}

// Returns 0 when fine, 2 on a usage error (message printed).
int parseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        if (arg == "-v" || arg == "--verbose") {
            o.verbose = true;
            continue;
        }
        if (arg.substr(0, 2) != "--") {
            say("unexpected argument '" + std::string(arg) + "' (try --help)");
            return 2;
        }
        std::string_view name = arg.substr(2);
        std::string_view value;
        bool hasValue = false;
        if (auto eq = name.find('='); eq != std::string_view::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "daemon" || name == "probe" || name == "stop") {
            if (hasValue) {
                say("--" + std::string(name) + " takes no value");
                return 2;
            }
            (name == "daemon" ? o.daemon : name == "probe" ? o.probe : o.stop) = true;
            continue;
        }
        static constexpr std::string_view kValueOptions[] = {
            "socket", "memory", "pidfile", "log", "r2a", "r2e", "r27", "r28", "r29", "low-nibble-base",
            "delay-ms", "fail-next", "fail-code", "short-reply", "bad-endmark", "no-frame", "ckmr-nak",
            "block-fail", "corrupt-block", "drop-after", "no-reply", "press", "slots", "press-gap-ms"};
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), name) == std::end(kValueOptions)) {
            say("unknown option --" + std::string(name) + " (try --help)");
            return 2;
        }
        if (!hasValue && !faultValueOptional(name)) {
            if (i + 1 >= argc) {
                say("--" + std::string(name) + " needs a value (try --help)");
                return 2;
            }
            value = argv[++i];
            hasValue = true;
        }
        const std::string what = "--" + std::string(name) + " " + std::string(value);
        std::string error;
        uint32_t n = 0;
        if (name == "socket") o.socket = value;
        else if (name == "memory") o.memory = value;
        else if (name == "pidfile") o.pidfile = value;
        else if (name == "log") o.logfile = value;
        else if (name == "r2a") {
            if (!parseByte(value, o.cfg.regs.r2a)) error = "a byte value";
        } else if (name == "r2e") {
            if (!parseByte(value, o.cfg.regs.r2e)) error = "a byte value";
        } else if (name == "r29") {
            if (!parseByte(value, o.cfg.regs.r29)) error = "a byte value";
            o.cfg.pinR29 = true;
        } else if (name == "r28") {
            if (!parseByte(value, o.cfg.regs.r28)) error = "a byte value";
            o.cfg.pinR28 = true;
        } else if (name == "r27") {
            if (!parseByte(value, o.cfg.regs.r27)) error = "a byte value";
            o.cfg.pinR27 = true;
        } else if (name == "low-nibble-base") {
            if (!parseByte(value, o.cfg.lowNibbleBase) || (o.cfg.lowNibbleBase & 0x0F))
                error = "a multiple of 16 below 256";
        } else if (name == "press") {
            o.press = value;
        } else if (name == "slots") {
            if (!parseNumber(value, n) || n < 1 || n > 176) error = "1..176";
            o.slots = n;
        } else if (name == "press-gap-ms") {
            if (!parseNumber(value, n) || n > 1000) error = "milliseconds up to 1000";
            o.pressGapMs = n;
        } else if (name == "delay-ms") {
            if (!parseNumber(value, n) || n > 600000) error = "milliseconds up to 600000";
            o.delayMs = n;
        } else if (!addFaultOption(name, value, o.cfg.faults, error) && error.empty()) {
            error = "not understood";
        }
        if (!error.empty()) {
            say("bad value in " + what + ": " + error);
            return 2;
        }
    }
    return 0;
}

bool makeAddress(const std::string& path, sockaddr_un& sa)
{
    std::memset(&sa, 0, sizeof sa);
    sa.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof sa.sun_path) return false;
    std::memcpy(sa.sun_path, path.c_str(), path.size());
    return true;
}

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

// Sends one "8042" request; true when it is answered, `byKbdsim` when the
// answer is the one this service gives (0x55).
bool probeAnswers(const std::string& path, bool* byKbdsim = nullptr)
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

// Where a daemon notes its process id, so that --stop finds it.
std::string runtimePidfile(const std::string& socket)
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    const std::string base = dir && *dir ? dir : "/tmp";
    return base + "/kbdsim" + socketTag(socket) + (dir && *dir ? "" : "-" + std::to_string(::getuid())) + ".pid";
}

// Where a daemon keeps its memory unless told: $XDG_STATE_HOME/kbdsim, else
// ~/.local/state/kbdsim; empty when neither can be named.
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

int stopDaemon(const Options& o)
{
    const std::string path = o.pidfile.empty() ? runtimePidfile(o.socket) : o.pidfile;
    const PidNote note = readPid(path);
    const long pid = note.pid;
    // Only the daemon of this socket is stopped: a pid file of another
    // socket that happens to share the name is left alone.
    const bool other = !note.socket.empty() && socketKey(note.socket) != socketKey(o.socket);
    if (pid <= 0 || other || !isKbdsim(pid)) {
        if (pid > 0 && !other) ::unlink(path.c_str());  // left by a service that is gone
        bool byKbdsim = false;
        if (probeAnswers(o.socket, &byKbdsim)) {
            say(o.socket + " is served by " + (byKbdsim ? "a kbdsim" : "a process") + " that " + path +
                " does not name; end it with its own --pidfile");
            return 1;
        }
        say("no kbdsim serves " + o.socket + "; nothing was stopped");
        return 0;
    }
    ::kill(pid_t(pid), SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::kill(pid_t(pid), 0) != 0) {
            say("stopped the kbdsim on " + o.socket);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    say("the kbdsim on " + o.socket + " (process " + std::to_string(pid) + ") did not stop");
    return 1;
}

// Returns the listening socket, or -1 with a message.
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

// Writes the process id; the daemon's own pid file also names the socket
// (a --pidfile holds the number alone, for scripts that kill what it holds).
bool writePidfile(const std::string& path, long pid, const std::string& socket = {})
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "%ld\n", pid);
    if (!socket.empty()) std::fprintf(f, "%s\n", socketKey(socket).c_str());
    return std::fclose(f) == 0;
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
    if (o.socket.empty()) o.socket = frame::portgatePath();
    if (o.probe) return probe(o.socket);
    if (!o.press.empty()) return press(o);
    if (o.stop) return stopDaemon(o);
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
    if (!o.memory.empty()) {
        std::vector<std::string> notes;
        std::string error;
        bool ok = fw.attachFile(o.memory, notes, error);
        for (const auto& n : notes) say(n);
        if (!ok) {
            say(error);
            return 1;
        }
    }

    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);

    ino_t inode = 0;
    int lfd = listenOn(o.socket, inode);
    if (lfd < 0) return 1;

    if (o.daemon) {
        std::fflush(nullptr);
        pid_t pid = ::fork();
        if (pid < 0) {
            say(std::string("fork: ") + std::strerror(errno));
            ::close(lfd);
            ::unlink(o.socket.c_str());
            return 1;
        }
        if (pid > 0) {
            // The socket is listening already; the pid files are there
            // before the caller goes on.
            const std::string own = runtimePidfile(o.socket);
            for (const std::string& f : {own, o.pidfile}) {
                if (!f.empty() && !writePidfile(f, long(pid), f == own ? o.socket : std::string())) {
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
            if (o.logfile.empty()) ::dup2(null, STDERR_FILENO);
            if (null > STDERR_FILENO) ::close(null);
        }
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
