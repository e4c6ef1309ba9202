// The frame of one driver request on the device socket, shared by the program
// and the emulated keyboard service. Request: code, input length, output
// length, input bytes. Reply: success, error number, returned count, reply
// bytes. Every integer is 32-bit little-endian. Both sides check the lengths
// before a byte is copied.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ptu::frame {

// Neither side accepts a frame that carries more than this.
constexpr uint32_t kMaxBytes = 1u << 20;

struct Request {
    uint32_t code = 0;
    uint32_t inLen = 0;
    uint32_t outLen = 0;
    std::vector<uint8_t> in;
};

struct Reply {
    uint32_t success = 0;
    uint32_t error = 0;
    std::vector<uint8_t> data;  // data.size() is the returned count
};

bool writeAll(int fd, const void* p, size_t n);
bool readAll(int fd, void* p, size_t n);

bool sendRequest(int fd, uint32_t code, const uint8_t* in, uint32_t inLen, uint32_t outLen);
// False at end of stream, on a read error or on an oversized frame.
bool readRequest(int fd, Request& req);

bool sendReply(int fd, const Reply& rep);
// Reads a reply into buf of outLen bytes. Of a reply longer than outLen the
// first outLen bytes are kept and `returned` counts only those; returns false
// only when the stream broke.
bool readReply(int fd, uint8_t* buf, uint32_t outLen, bool& ok, int& error, uint32_t& returned);

// Socket paths: $PORTGATE_SOCKET, else $XDG_RUNTIME_DIR/portgate, else
// /tmp/portgate-<uid>; $VPTU_SOCKET, else "vptu" beside the first.
std::string portgatePath();
std::string vptuPath();

}  // namespace ptu::frame
