#include "sim/service/service.h"

#include "platform/devframe.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <list>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace kbdsim {
namespace {

namespace frame = ptu::frame;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Connections served at once; more wait in the listen queue.
constexpr std::size_t kMaxClients = 128;

struct Client {
    int fd = -1;
    uint64_t id = 0;
    std::vector<uint8_t> in;   // received bytes not yet taken as a request
    std::vector<uint8_t> out;  // reply bytes not yet sent
    std::size_t sent = 0;
    bool waiting = false;      // a reply is held back by --delay-ms
    Clock::time_point due;     // when the held reply goes out
    Clock::time_point idleEnd; // closed when nothing happened by then
    bool closing = false;
};

std::string describe(const frame::Request& req, const Answer& a, uint64_t n)
{
    char line[160];
    const uint32_t fn = functionOf(req.code);
    int k = std::snprintf(line, sizeof line, "#%llu %s (0x%08X) in=%u out=%u -> ", (unsigned long long)n,
                          functionName(fn), req.code, req.inLen, req.outLen);
    if (a.drop) std::snprintf(line + k, sizeof line - size_t(k), "connection dropped");
    else if (a.hold) std::snprintf(line + k, sizeof line - size_t(k), "never answered");
    else if (!a.success) std::snprintf(line + k, sizeof line - size_t(k), "failed, %s", std::strerror(int(a.error)));
    else std::snprintf(line + k, sizeof line - size_t(k), "%zu bytes", a.data.size());
    return line;
}

class Service {
public:
    Service(Firmware& fw, const ServiceOptions& o) : fw_(fw), o_(o) {}
    ~Service()
    {
        for (Client& c : clients_) ::close(c.fd);
    }

    void run(int lfd, const volatile std::sig_atomic_t& stop)
    {
        std::vector<pollfd> fds;
        while (!stop) {
            fds.clear();
            fds.push_back({lfd, short(clients_.size() < kMaxClients ? POLLIN : 0), 0});
            for (const Client& c : clients_)
                fds.push_back({c.fd, short(c.out.size() > c.sent ? POLLOUT : c.waiting ? 0 : POLLIN), 0});
            const int r = ::poll(fds.data(), fds.size(), pollTimeout());
            if (r < 0 && errno != EINTR) return;
            const auto now = Clock::now();
            std::size_t i = 1;
            for (Client& c : clients_) {
                const short ev = r > 0 ? fds[i++].revents : 0;
                if (ev & (POLLIN | POLLHUP | POLLERR)) receive(c, now);
                if (!c.closing && (ev & POLLOUT)) send(c, now);
                if (!c.closing && c.waiting && now >= c.due) release(c, now);
                if (!c.closing && !c.waiting && now >= c.idleEnd) {
                    if (o_.verbose) say("connection " + std::to_string(c.id) + " idle too long: closed");
                    c.closing = true;
                }
            }
            clients_.remove_if([](const Client& c) {
                if (c.closing) ::close(c.fd);
                return c.closing;
            });
            if (r > 0 && (fds[0].revents & POLLIN)) accept(lfd, now);
        }
    }

private:
    int pollTimeout() const
    {
        auto next = Clock::now() + milliseconds(250);  // the stop flag is looked at this often
        for (const Client& c : clients_) next = std::min(next, c.waiting ? c.due : c.idleEnd);
        const auto ms = std::chrono::ceil<milliseconds>(next - Clock::now()).count();
        return int(std::clamp<long long>(ms, 0, 250));
    }

    void accept(int lfd, Clock::time_point now)
    {
        const int fd = ::accept4(lfd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        Client c;
        c.fd = fd;
        c.id = ++accepted_;
        c.idleEnd = now + milliseconds(kIdleDeadlineMs);
        clients_.push_back(std::move(c));
    }

    void receive(Client& c, Clock::time_point now)
    {
        uint8_t piece[65536];
        const ssize_t k = ::recv(c.fd, piece, sizeof piece, 0);
        if (k < 0 && (errno == EINTR || errno == EAGAIN)) return;
        if (k <= 0) {
            c.closing = true;  // closed by the peer, or broken
            return;
        }
        c.in.insert(c.in.end(), piece, piece + k);
        next(c, now);
    }

    // Answers the next complete request, when no reply is on its way.
    void next(Client& c, Clock::time_point now)
    {
        if (c.waiting || c.out.size() > c.sent) return;
        frame::Request req;
        bool bad = false;
        if (!frame::takeRequest(c.in, req, bad)) {
            if (bad) c.closing = true;  // oversized: not a frame of ours
            return;
        }
        Answer a = fw_.answer(req.code, req.in, req.outLen);
        if (o_.verbose) say(describe(req, a, fw_.requests()));
        if (a.drop) {
            c.closing = true;
            return;
        }
        if (a.hold) {
            // Held for good: nothing more is answered on this connection,
            // and it is not closed as idle; the caller's deadline ends it.
            c.waiting = true;
            c.due = Clock::time_point::max();
            return;
        }
        frame::Reply rep;
        rep.success = a.success ? 1 : 0;
        rep.error = a.error;
        rep.data = std::move(a.data);
        c.out = frame::replyBytes(rep);
        c.sent = 0;
        if (o_.delayMs > 0) {
            c.waiting = true;
            c.due = now + milliseconds(o_.delayMs);
        } else {
            send(c, now);
        }
    }

    void release(Client& c, Clock::time_point now)
    {
        c.waiting = false;
        send(c, now);
    }

    void send(Client& c, Clock::time_point now)
    {
        while (c.sent < c.out.size()) {
            const ssize_t k = ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
            if (k < 0 && errno == EINTR) continue;
            if (k < 0 && errno == EAGAIN) return;  // the rest when the peer takes it
            if (k <= 0) {
                c.closing = true;
                return;
            }
            c.sent += std::size_t(k);
        }
        c.out.clear();
        c.sent = 0;
        c.idleEnd = now + milliseconds(kIdleDeadlineMs);
        next(c, now);  // a request that came along with the last one
    }

    Firmware& fw_;
    const ServiceOptions& o_;
    std::list<Client> clients_;
    uint64_t accepted_ = 0;
};

}  // namespace

void say(const std::string& s) { std::fprintf(stderr, "kbdsim: %s\n", s.c_str()); }

void serve(int lfd, Firmware& fw, const ServiceOptions& o, const volatile std::sig_atomic_t& stop)
{
    Service service(fw, o);
    service.run(lfd, stop);
}

}  // namespace kbdsim
