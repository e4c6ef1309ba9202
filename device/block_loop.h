// The block loop of the two block transfers, rwkb16 and rwkf16: one 16-byte
// block request after the other, each retried up to five times, the progress
// box kept up to date, and the closing. A small settings struct names what
// differs between the two.
#pragma once

#include "device/transfer.h"

#include <cstdint>
#include <span>
#include <string>

namespace ptu {

constexpr int kMaxMemory = 8192;  // the largest keyboard's memory

struct BlockRoad {
    const char* name;      // "rwkb16", "rwkf16": its log lines and its failure box
    const char* failLine;  // the log line before the failure box
    const char* boxTitle;  // the failure box's title
    bool announce;         // the start text colours the label, and a short high tone sounds
    bool logBound;         // the bar and the percentages only while the log is open, which gets each mark
    bool keepNibbles;      // a read keeps each reply's nibble bytes and logs the block's data; otherwise
                           // it keeps the 16 data bytes and retries a reply that lacks some
    bool interruptible;    // a signal ends the transfer before the next block or attempt
    bool pumpEachAttempt;  // a pump pass before and after every attempt, not one before the block
};
inline constexpr BlockRoad kRwkb16Road{"rwkb16", " win7 rwkb16 error \n", kKeyboardTitle, true, true, true, false, false};
inline constexpr BlockRoad kRwkf16Road{"rwkf16", " rwkf16 error \n", kAppTitle, false, false, false, true, true};

// One block transfer: which road, which direction, how many bytes, a write's
// image, where a read's bytes go, and who sees every attempt.
struct BlockTransfer {
    const BlockRoad& road;
    bool reading;
    int kbb;  // 0 when the memory size is not known: nothing is sent
    std::span<const uint8_t> source;
    std::span<uint8_t> into;
    const BlockObserver* observer = nullptr;
};

// How it ended.
struct BlockEnd {
    bool failed = false;  // a block failed, or the transfer was interrupted
    int address = 0;      // the first block not done (kbb when all went through)
    std::string cause;    // why a block failed, for a person
    int interrupted = 0;  // the signal that stopped it, or 0
};

// The memory size a block transfer can move: a whole number of blocks, at
// least one progress mark, no more than the largest keyboard. 0 when kbb_f
// is none of that (no keyboard identified).
int transferSize(const State& st);

// Runs the transfer on the open device `h`, which it closes.
BlockEnd runBlocks(State& st, Platform& pf, DevHandle h, const BlockTransfer& t);

}  // namespace ptu
