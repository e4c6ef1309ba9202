#include "platform/devframe.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ptu::frame {

namespace {

void put32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool discard(int fd, uint32_t n, Clock::time_point deadline)
{
    uint8_t sink[4096];
    while (n > 0) {
        uint32_t k = n < sizeof sink ? n : uint32_t(sizeof sink);
        if (!readAll(fd, sink, k, deadline)) return false;
        n -= k;
    }
    return true;
}

// Waits until fd is ready for `events` or the deadline has passed (errno
// ETIMEDOUT). Without a deadline the blocking call itself waits.
bool ready(int fd, short events, Clock::time_point deadline)
{
    if (deadline == kNoDeadline) return true;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            errno = ETIMEDOUT;
            return false;
        }
        pollfd pfd{fd, events, 0};
        const int r = ::poll(&pfd, 1, int(std::min<long long>(left, 60000)));
        if (r > 0) return true;
        if (r < 0 && errno != EINTR) return false;
    }
}

}  // namespace

bool writeAll(int fd, const void* p, size_t n, Clock::time_point deadline)
{
    const auto* b = static_cast<const uint8_t*>(p);
    // With a deadline no call may block: poll waits, the call takes what fits.
    const int flags = MSG_NOSIGNAL | (deadline == kNoDeadline ? 0 : MSG_DONTWAIT);
    while (n > 0) {
        if (!ready(fd, POLLOUT, deadline)) return false;
        // A peer that went away is a failed write, never a SIGPIPE.
        ssize_t k = ::send(fd, b, n, flags);
        if (k < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (k <= 0) return false;
        b += k;
        n -= size_t(k);
    }
    return true;
}

bool readAll(int fd, void* p, size_t n, Clock::time_point deadline)
{
    auto* b = static_cast<uint8_t*>(p);
    while (n > 0) {
        if (!ready(fd, POLLIN, deadline)) return false;
        ssize_t k = ::read(fd, b, n);
        if (k < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (k <= 0) return false;
        b += k;
        n -= size_t(k);
    }
    return true;
}

bool sendRequest(int fd, uint32_t code, const uint8_t* in, uint32_t inLen, uint32_t outLen,
                 Clock::time_point deadline)
{
    if (inLen > kMaxBytes || outLen > kMaxBytes) return false;
    std::vector<uint8_t> out(kHeaderBytes + inLen);
    put32(&out[kRequestCode], code);
    put32(&out[kRequestInLen], inLen);
    put32(&out[kRequestOutLen], outLen);
    if (inLen) std::memcpy(&out[kHeaderBytes], in, inLen);
    return writeAll(fd, out.data(), out.size(), deadline);
}

bool readRequest(int fd, Request& req)
{
    uint8_t head[kHeaderBytes];
    if (!readAll(fd, head, sizeof head)) return false;
    req.code = get32(head + kRequestCode);
    req.inLen = get32(head + kRequestInLen);
    req.outLen = get32(head + kRequestOutLen);
    if (req.inLen > kMaxBytes || req.outLen > kMaxBytes) return false;
    req.in.assign(req.inLen, 0);
    return req.inLen == 0 || readAll(fd, req.in.data(), req.inLen);
}

bool takeRequest(std::vector<uint8_t>& bytes, Request& req, bool& bad)
{
    bad = false;
    if (bytes.size() < kHeaderBytes) return false;
    const uint32_t inLen = get32(&bytes[kRequestInLen]);
    const uint32_t outLen = get32(&bytes[kRequestOutLen]);
    if (inLen > kMaxBytes || outLen > kMaxBytes) {
        bad = true;
        return false;
    }
    if (bytes.size() - kHeaderBytes < inLen) return false;
    req.code = get32(&bytes[kRequestCode]);
    req.inLen = inLen;
    req.outLen = outLen;
    const long end = long(kHeaderBytes + inLen);
    req.in.assign(bytes.begin() + long(kHeaderBytes), bytes.begin() + end);
    bytes.erase(bytes.begin(), bytes.begin() + end);
    return true;
}

std::vector<uint8_t> replyBytes(const Reply& rep)
{
    const size_t n = std::min<size_t>(rep.data.size(), kMaxBytes);
    std::vector<uint8_t> out(kHeaderBytes + n);
    put32(&out[kReplySuccess], rep.success);
    put32(&out[kReplyError], rep.error);
    put32(&out[kReplyCount], uint32_t(n));
    if (n) std::memcpy(&out[kHeaderBytes], rep.data.data(), n);
    return out;
}

bool sendReply(int fd, const Reply& rep)
{
    if (rep.data.size() > kMaxBytes) return false;
    const std::vector<uint8_t> out = replyBytes(rep);
    return writeAll(fd, out.data(), out.size());
}

bool readReply(int fd, uint8_t* buf, uint32_t outLen, bool& ok, int& error, uint32_t& returned,
               Clock::time_point deadline)
{
    uint8_t head[kHeaderBytes];
    ok = false;
    returned = 0;
    error = EIO;
    if (!readAll(fd, head, sizeof head, deadline)) return false;
    uint32_t success = get32(head + kReplySuccess);
    uint32_t err = get32(head + kReplyError);
    uint32_t count = get32(head + kReplyCount);
    if (count > kMaxBytes) return false;
    // Never copy past the caller's buffer: a longer reply gives its first
    // outLen bytes, and the rest is read off the stream and dropped.
    const uint32_t kept = count < outLen ? count : outLen;
    if (kept && !readAll(fd, buf, kept, deadline)) return false;
    if (!discard(fd, count - kept, deadline)) return false;
    ok = success != 0;
    error = int(err);
    returned = kept;
    return true;
}

std::string portgatePath()
{
    if (const char* p = std::getenv("PORTGATE_SOCKET"); p && *p) return p;
    if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x) return std::string(x) + "/portgate";
    return "/tmp/portgate-" + std::to_string(::getuid());
}

std::string vptuPath()
{
    if (const char* p = std::getenv("VPTU_SOCKET"); p && *p) return p;
    std::string first = portgatePath();
    auto slash = first.rfind('/');
    return (slash == std::string::npos ? std::string() : first.substr(0, slash + 1)) + "vptu";
}

}  // namespace ptu::frame
