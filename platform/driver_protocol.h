// The keyboard driver's requests as they travel to the device: the request
// code of every operation, the lengths of its input and output, the wait the
// program makes before it, how long the program waits for its answer, and
// the bytes that shape the replies. This is the one home of these numbers:
// the driver operations, the block transfers, the device transport, the
// conformance checker and the test of the published interface document all
// read them here.
#pragma once

#include <cstdint>

namespace ptu::driver {

// Request codes: device type 0x80FF, buffered method, any access; the
// function number sits in bits 2..13.
constexpr uint32_t kDeviceType = 0x80FF;
constexpr uint32_t codeOf(uint32_t function) { return kDeviceType << 16 | (function & 0xFFF) << 2; }

// A length that grows with the keyboard's memory size: perKbb x kbb_f + fixed.
struct Length {
    uint32_t perKbb;
    uint32_t fixed;
    constexpr uint32_t of(uint32_t kbb) const { return perKbb * kbb + fixed; }
};

// How long the program waits for one request to be sent and answered. A
// whole-memory READ or WRITE in one request may keep a real link busy for
// tens of seconds; every other request is answered at once. A request past
// its deadline fails like a reply that never came.
constexpr int kWholeMemoryDeadlineMs = 90000;
constexpr int kRequestDeadlineMs = 5000;

struct Operation {
    const char* name;  // as the diagnostic log and the interface document name it
    int mode;          // the operation number of rwkb; 0 for the block requests
    uint32_t function;
    Length in;
    Length out;
    int waitBeforeMs;  // the program waits this long before it sends the request
    int deadlineMs;
    bool sent;         // the program sends it; the others are defined but never used
    constexpr uint32_t code() const { return codeOf(function); }
};

// The ten single operations in the order of their modes (1..10), then the
// two block requests of the whole-memory transfer.
inline constexpr Operation kOperations[] = {
    {"INFO", 1, 2, {0, 16}, {0, 16}, 500, kRequestDeadlineMs, true},
    {"READ", 2, 3, {2, 4}, {2, 16}, 0, kWholeMemoryDeadlineMs, true},
    {"WRITE", 3, 4, {1, 0}, {4, 16}, 0, kWholeMemoryDeadlineMs, true},
    {"KeyP", 4, 6, {0, 16}, {0, 16}, 0, kRequestDeadlineMs, false},
    {"DSAB", 5, 10, {0, 1}, {0, 1}, 0, kRequestDeadlineMs, true},
    {"ENAB", 6, 11, {0, 1}, {0, 1}, 0, kRequestDeadlineMs, false},
    {"8042", 7, 14, {0, 1}, {0, 1}, 0, kRequestDeadlineMs, true},
    {"CKMR", 8, 19, {0, 1}, {0, 1}, 0, kRequestDeadlineMs, false},
    {"DSAB1", 9, 12, {0, 1}, {0, 1}, 500, kRequestDeadlineMs, false},
    {"ENAB1", 10, 13, {0, 1}, {0, 1}, 0, kRequestDeadlineMs, false},
    {"block read", 0, 17, {0, 18}, {0, 64}, 0, kRequestDeadlineMs, true},
    {"block write", 0, 18, {0, 18}, {0, 64}, 0, kRequestDeadlineMs, true},
};
constexpr int kSingleOperations = 10;
inline constexpr const Operation& kBlockRead = kOperations[10];
inline constexpr const Operation& kBlockWrite = kOperations[11];

// The operation of rwkb mode 1..10, or null.
constexpr const Operation* operationOf(int mode)
{
    return mode >= 1 && mode <= kSingleOperations ? &kOperations[mode - 1] : nullptr;
}

// The deadline of a request code; a code of no operation gets the short one.
constexpr int deadlineMs(uint32_t code)
{
    for (const Operation& op : kOperations)
        if (op.code() == code) return op.deadlineMs;
    return kRequestDeadlineMs;
}

// Reply forms.
constexpr uint8_t kEndMark = 0xC0;    // last byte of INFO, READ, WRITE and block replies
constexpr uint8_t kFrameMark = 0xD6;  // starts the INFO register frame
constexpr uint8_t kAck = 0xFA;        // CKMR's acknowledgement
constexpr int kFrameValues = 5;       // r2a, r2e, r29, r28, r27, each a nibble pair
constexpr uint32_t kInfoArea = 32;    // INFO clears this much of the buffer; the frame may reach into it
constexpr uint32_t kShortReply = 10;  // INFO, READ, WRITE: this many bytes or fewer is too short
constexpr uint32_t kMinReadReply = 4096;  // the shortest READ reply taken
constexpr uint32_t kBlockBytes = 16;      // data bytes of one block
constexpr uint32_t kBlockReadReply = 2 * kBlockBytes + 1;  // 32 nibble bytes and the end mark
constexpr uint32_t kBlockWriteShort = 28;  // a block write reply must be longer than this

// A data byte travels as two nibble bytes: the first in D0..DF carries the
// high nibble in its low four bits, of the second only the low four bits
// count.
constexpr bool isHighNibbleByte(uint8_t b) { return (b & 0xF0) == 0xD0; }
constexpr uint8_t nibbleValue(uint8_t high, uint8_t low) { return uint8_t((high & 0x0F) << 4 | (low & 0x0F)); }
// A READ reply may begin with bytes of its own; the memory's nibble pairs
// start at its first byte that is 0 or lies in D0..F0.
constexpr bool startsMemory(uint8_t b) { return b == 0 || (b >= 0xD0 && b <= 0xF0); }

}  // namespace ptu::driver
