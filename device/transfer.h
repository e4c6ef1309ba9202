// Whole-memory transfers between the keyboard and the program or a raw file:
// rwkb16 (16-byte blocks into or out of a buffer), rwkf16 (16-byte blocks
// between the keyboard and a raw file, "-R" and "-W") and rwkf (one READ or
// WRITE request between the keyboard and a raw file, "-r" and "-w"). The raw
// file is the memory image byte for byte, kbb_f bytes, no header.
#pragma once

#include "device/batch_file.h"
#include "device/rwkb.h"
#include "keydata/state.h"
#include "platform/driver_protocol.h"
#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace ptu {

inline constexpr char kAppTitle[] = "Tessaral Programmable Keyboard Manager";
inline constexpr char kKeyboardTitle[] = "Tessaral Programmable Keyboard";

// Background of the progress box's comment label during a read and a write.
constexpr Colour kReadColour = 0x0000BF;
constexpr Colour kWriteColour = 0x0000FF;

// Block requests: the address in bytes 0 and 1, for a write the 16 data
// bytes after it; the reply comes back into the same 64-byte area.
constexpr uint32_t kBlockReadCode = driver::kBlockRead.code();
constexpr uint32_t kBlockWriteCode = driver::kBlockWrite.code();
constexpr int kBlockBytes = int(driver::kBlockBytes);
constexpr int kBlockAttempts = 5;

// Directions of rwkb16, numbered like rwkb's READ and WRITE.
enum TransferType : int { XFER_READ = 2, XFER_WRITE = 3 };

// Results of rwkb16, rwkf16 and rwkf (rwkf passes rwkb's result on for the
// transfer itself).
enum TransferResult : int {
    XFER_OK = 0,
    XFER_NO_DEVICE = 1,    // also: rwkf16/rwkf found no usable option
    XFER_NO_OPTION = 1,
    XFER_CANNOT_CREATE = 2,  // the file of a read cannot be created or written, or its name holds a quote
    XFER_CANNOT_OPEN = 3,    // the file of a write cannot be read, is no image of the keyboard's size,
                             // or its name holds a quote
    XFER_FAILED = 4,
};

// One attempt at one block as it went, for a caller that looks at the
// replies itself: the block's address, the attempt (0 for the first), the
// request and its reply.
struct BlockAttempt {
    int address = 0;
    int attempt = 0;
    RequestRecord request;
    std::span<const uint8_t> reply;
};
using BlockObserver = std::function<void(const BlockAttempt&)>;

// Where a block transfer stopped: the bytes that went through before the
// block that failed, of how many, and why that block failed ("" when no
// block failed). A write that stops part-way leaves the keyboard with the
// first `moved` bytes of the new image and the rest of the old one.
struct TransferEnd {
    int moved = 0;
    int total = 0;
    std::string cause;
};

// A number as a person reads it: "8,192".
std::string grouped(int n);

// What a block write that stopped part-way left in the keyboard: "the first
// 256 of 8,192 bytes are the new programming, the rest is the old" ("nothing
// of the new programming reached it" when no block went through).
std::string partialWriteText(int moved, int total);
// The sentence a failed write ends with: what the keyboard now holds, that
// it must be written again, and the cause.
std::string failedWriteText(const TransferEnd& end);

// Reads (XFER_READ) the keyboard's kbb_f bytes into `buffer` as nibble bytes,
// 32 per block, or writes (XFER_WRITE) the first kbb_f bytes of `buffer`.
// A read never puts a byte past the end of `buffer`: replies that would
// overflow it end the transfer with XFER_FAILED. `observer`, when given,
// sees every block attempt as it ends; `end`, when given, where the transfer
// stopped. While a block is retried the progress box says which attempt runs.
int rwkb16(State& st, Platform& pf, int type, std::span<uint8_t> buffer, const BlockObserver& observer = {},
           TransferEnd* end = nullptr);

// Block transfer between the keyboard and the file named in `text`, which
// must begin with "-R" (keyboard to file) or "-W" (file to keyboard).
int rwkf16(State& st, Platform& pf, const std::string& text);
// The same with the file made ready beforehand (prepareBatchFile). A -W
// image that is not exactly kbb_f bytes is refused before any block goes out.
// A failed -W says on standard error, after "rwkf16 error", what the
// keyboard now holds and why.
int rwkf16(State& st, Platform& pf, BatchFile& file);

// Single-request transfer between the keyboard and the file after the first
// "-r" (keyboard to file), or without one the first "-w" (file to keyboard).
int rwkf(State& st, Platform& pf, const std::string& text);
int rwkf(State& st, Platform& pf, BatchFile& file);

// The result of a batch transfer stopped by signal `sig`: the shell's exit
// status for it (130 for Ctrl+C, 143 for SIGTERM). The transfers stop after
// the block in flight, leave a read's destination as it was and say on
// standard error what state the keyboard or the file is in.
constexpr int kInterruptedBase = 128;
constexpr int interruptedResult(int sig) { return kInterruptedBase + sig; }

}  // namespace ptu
