// One driver operation: open the device, send one request, check the reply.
#pragma once

#include "keydata/state.h"
#include "platform/driver_protocol.h"
#include "platform/platform.h"

#include <cstdint>
#include <span>

namespace ptu {

// Operation modes of rwkb.
enum RwkbMode : int {
    MODE_INFO = 1,
    MODE_READ = 2,
    MODE_WRITE = 3,
    MODE_KEYP = 4,
    MODE_DSAB = 5,
    MODE_ENAB = 6,
    MODE_8042 = 7,
    MODE_CKMR = 8,
    MODE_DSAB1 = 9,
    MODE_ENAB1 = 10,
};

// Result codes of rwkb.
enum RwkbResult : int {
    RWKB_OK = 0,
    RWKB_NO_DEVICE = 1,
    RWKB_REQUEST_FAILED = 2,
    RWKB_SHORT_REPLY = 3,
    RWKB_BAD_MODE = 4,
    RWKB_NO_FRAME = 5,
    RWKB_NOT_IDENTIFIED = 6,  // also: READ reply shorter than 4096 bytes or than the memory's nibble pairs
    RWKB_NO_ACK = 7,
    RWKB_BAD_ENDMARK = 9,
};

// The driver's I/O control code for a function number (device type 0x80FF,
// buffered, any access).
constexpr uint32_t ioctlCode(uint32_t function) { return driver::codeOf(function); }

// What one driver request carried and how long it took, for a caller that
// looks at the reply itself. The reply is the first `returned` bytes of the
// buffer the request was made on.
struct RequestRecord {
    bool sent = false;  // the request went to an open device
    uint32_t code = 0;
    uint32_t inLen = 0;
    uint32_t outLen = 0;
    bool ok = false;      // the driver reported success
    int error = 0;        // the last error after the request (errno on Linux)
    uint32_t returned = 0;
    long long elapsedMs = 0;  // from sending the request to the end of its reply
};

// Runs operation `mode` on `buffer`, which serves as input and output. The
// buffer must be as large as the operation needs (64 bytes for INFO and the
// one-byte operations, 2 x kbb_f + 16 for READ, 4 x kbb_f + 16 for WRITE);
// a smaller one is never written past its end. INFO updates the registers
// and model values. Returns a RwkbResult; `record`, when given, receives
// the request as it went.
int rwkb(State& st, Platform& pf, int mode, std::span<uint8_t> buffer, RequestRecord* record = nullptr);

// Writes the " ok=..., mode=..., in=..., ret=...:" reply dump of a request.
void logReply(Log& log, bool ok, long mode, unsigned long inLen, std::span<const uint8_t> reply);

}  // namespace ptu
