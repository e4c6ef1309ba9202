// Both sides of the driver socket frame. First byte even: the bytes are what
// a client sent to kbdsim, taken request by request in pieces of the size the
// second byte gives and answered by the firmware. Odd: the bytes are what a
// service sent back to the program, read as replies into an output area of
// the size the second byte gives.
#include "platform/devframe.h"
#include "sim/model/firmware.h"

#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

void serviceSide(const uint8_t* d, size_t n, size_t piece)
{
    kbdsim::Config cfg;
    kbdsim::Firmware fw(cfg);
    std::vector<uint8_t> received;
    for (size_t at = 0; at < n; at += piece) {
        received.insert(received.end(), d + at, d + std::min(n, at + piece));
        ptu::frame::Request req;
        bool bad = false;
        while (ptu::frame::takeRequest(received, req, bad)) {
            kbdsim::Answer a = fw.answer(req.code, req.in, req.outLen);
            ptu::frame::Reply rep;
            rep.success = a.success;
            rep.error = a.error;
            rep.data = std::move(a.data);
            (void)ptu::frame::replyBytes(rep);
        }
        if (bad) return;
    }
}

void clientSide(const uint8_t* d, size_t n, uint32_t outLen)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return;
    // What fits the socket's buffer at once; the rest is never sent.
    while (n > 0) {
        const ssize_t k = ::send(fds[1], d, n, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (k <= 0) break;
        d += k;
        n -= size_t(k);
    }
    ::close(fds[1]);
    std::vector<uint8_t> buf(outLen);
    bool ok = false;
    int error = 0;
    uint32_t returned = 0;
    while (ptu::frame::readReply(fds[0], buf.data(), outLen, ok, error, returned)) {
    }
    ::close(fds[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    if (data[0] % 2 == 0) serviceSide(data + 2, size - 2, size_t(data[1]) + 1);
    else clientSide(data + 2, size - 2, uint32_t(data[1]) * 67);
    return 0;
}
