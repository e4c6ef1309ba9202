// The frame of one driver request on the device socket, shared by the program
// and the emulated keyboard service. Request: code, input length, output
// length, input bytes. Reply: success, error number, returned count, reply
// bytes. Every integer is 32-bit little-endian. Both sides check the lengths
// before a byte is copied.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ptu::frame {

// Neither side accepts a frame that carries more than this.
constexpr uint32_t kMaxBytes = 1u << 20;

// Both headers are three 32-bit fields: the request's code, input length
// and output length; the reply's success flag, error number and returned
// count. The input or reply bytes follow the header.
constexpr size_t kFieldBytes = 4;
constexpr size_t kHeaderBytes = 3 * kFieldBytes;
enum RequestField : size_t { kRequestCode = 0, kRequestInLen = 4, kRequestOutLen = 8 };
enum ReplyField : size_t { kReplySuccess = 0, kReplyError = 4, kReplyCount = 8 };

using Clock = std::chrono::steady_clock;
// No deadline: wait as long as it takes.
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

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

// Whole transfers on a socket. Past `deadline` they stop with errno
// ETIMEDOUT; the stream is then in the middle of a frame and of no further use.
bool writeAll(int fd, const void* p, size_t n, Clock::time_point deadline = kNoDeadline);
bool readAll(int fd, void* p, size_t n, Clock::time_point deadline = kNoDeadline);

bool sendRequest(int fd, uint32_t code, const uint8_t* in, uint32_t inLen, uint32_t outLen,
                 Clock::time_point deadline = kNoDeadline);
// False at end of stream, on a read error or on an oversized frame.
bool readRequest(int fd, Request& req);

// The service side without blocking: takes one whole request from the front
// of `bytes` (the bytes received so far) and removes it. Returns false while
// the request is incomplete, or with `bad` set for a frame larger than
// kMaxBytes (the connection is then of no use).
bool takeRequest(std::vector<uint8_t>& bytes, Request& req, bool& bad);

// The bytes of a reply frame (the data cut to kMaxBytes is never needed:
// replies are built to the request's output length).
std::vector<uint8_t> replyBytes(const Reply& rep);
bool sendReply(int fd, const Reply& rep);

// Reads a reply into buf of outLen bytes. Of a reply longer than outLen the
// first outLen bytes are kept and `returned` counts only those; returns false
// only when the stream broke or the deadline passed (errno ETIMEDOUT).
bool readReply(int fd, uint8_t* buf, uint32_t outLen, bool& ok, int& error, uint32_t& returned,
               Clock::time_point deadline = kNoDeadline);

// Socket paths: $PORTGATE_SOCKET, else $XDG_RUNTIME_DIR/portgate, else
// /tmp/portgate-<uid>; $VPTU_SOCKET, else "vptu" beside the first.
std::string portgatePath();
std::string vptuPath();

}  // namespace ptu::frame
