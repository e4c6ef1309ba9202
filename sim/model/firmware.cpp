#include "sim/model/firmware.h"

#include "sim/model/memfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kbdsim {

namespace {

constexpr size_t kBlock = 16;
constexpr size_t kBlockRequest = 2 + kBlock;  // address low, address high, data

Answer failure(uint32_t error)
{
    Answer a;
    a.error = error;
    return a;
}

Answer success(std::vector<uint8_t> data)
{
    Answer a;
    a.success = true;
    a.data = std::move(data);
    return a;
}

bool endsWithMark(uint32_t fn)
{
    return fn == kInfo || fn == kRead || fn == kWrite || fn == kBlockRead || fn == kBlockWrite;
}

// The longest reply of each function that the program still turns down.
size_t rejectedLength(uint32_t fn)
{
    switch (fn) {
    case kInfo:
    case kRead:
    case kWrite: return 10;
    case kBlockRead: return 32;
    case kBlockWrite: return 28;
    default: return 0;
    }
}

}  // namespace

size_t memorySizeFor(uint8_t r2a)
{
    if (r2a == 0xBC || r2a == 0xFC || r2a == 0xFD) return 2048;
    switch (r2a & 0x38) {
    case 0x20: return 8192;
    case 0x10: return 4096;
    default: return 2048;
    }
}

void appendNibblePair(std::vector<uint8_t>& out, uint8_t byte, uint8_t lowBase)
{
    out.push_back(uint8_t(0xD0 | byte >> 4));
    out.push_back(uint8_t((lowBase & 0xF0) | (byte & 0x0F)));
}

Firmware::Firmware(const Config& cfg)
    : regs_(cfg.regs),
      pinR27_(cfg.pinR27),
      pinR28_(cfg.pinR28),
      pinR29_(cfg.pinR29),
      lowBase_(cfg.lowNibbleBase),
      mem_(memorySizeFor(cfg.regs.r2a), 0), faults_(cfg.faults)
{
}

bool Firmware::attachFile(const std::string& path, std::vector<std::string>& notes, std::string& error)
{
    std::vector<uint8_t> mem;
    if (!loadMemoryFile(path, mem_.size(), mem, notes, error)) return false;
    mem_ = std::move(mem);
    path_ = path;
    adoptTail(pinR27_, pinR28_, pinR29_);
    return true;
}

void Firmware::adoptTail(bool keep27, bool keep28, bool keep29)
{
    const size_t n = mem_.size();
    if (mem_[n - 3] != 0x55 || mem_[n - 2] != 0xAA || mem_[n - 1] != 0xD6) return;
    if (!keep29) regs_.r29 = mem_[n - 4];
    if (!keep28) regs_.r28 = mem_[n - 5];
    if (!keep27) regs_.r27 = mem_[n - 6];
}

Answer Firmware::answer(uint32_t code, const std::vector<uint8_t>& in, uint32_t outLen)
{
    const uint64_t before = served_++;
    const uint32_t fn = functionOf(code);
    if (faults_.take(FaultKind::Drop, fn, 0, before)) {
        Answer a;
        a.drop = true;
        return a;
    }
    if (faults_.take(FaultKind::NoReply, fn)) {
        Answer a;
        a.hold = true;
        return a;
    }
    if (faults_.take(FaultKind::Fail, fn)) return failure(EIO);

    // A write whose echo would not fit the caller's output area is refused
    // before anything is stored: a caller told "failed" finds the memory as
    // it was.
    const size_t echo = fn == kWrite ? 2 * mem_.size() + 2 : fn == kBlockWrite ? 2 * kBlock + 1 : 0;
    if (echo > outLen) return failure(ENOBUFS);

    Answer a;
    switch (fn) {
    case kInfo: a = info(bool(faults_.take(FaultKind::NoFrame, fn))); break;
    case kRead: a = read(); break;
    case kWrite: a = write(in); break;
    case kBlockRead: a = blockRead(in); break;
    case kBlockWrite: a = blockWrite(in); break;
    case kCtl8042: a = success({kSelfTestOk}); break;
    case kKeyP:
    case kDsab:
    case kEnab:
    case kDsab1:
    case kEnab1:
    case kCkmr: a = success({kAck}); break;
    default: return failure(EINVAL);
    }
    if (!a.success) return a;
    if (a.data.size() > outLen) return failure(ENOBUFS);

    if (fn == kCkmr && faults_.take(FaultKind::CkmrNak, fn)) a.data[0] = kNak;
    if (endsWithMark(fn) && faults_.take(FaultKind::BadEndMark, fn)) a.data.back() = kBadEndMark;
    if (auto f = faults_.take(FaultKind::Short, fn)) {
        const size_t len = f->hasValue ? f->value : rejectedLength(fn);
        if (len < a.data.size()) a.data.resize(len);
    }
    return a;
}

Answer Firmware::info(bool withoutFrame) const
{
    // An acknowledge, the register frame (mark and five nibble pairs), the
    // end mark. Without the frame the pairs are sent in a form that does not
    // start with 0xD0..0xDF, so no mark is followed by a register byte.
    std::vector<uint8_t> out{kAck, kFrameMark};
    for (uint8_t v : {regs_.r2a, regs_.r2e, regs_.r29, regs_.r28, regs_.r27}) {
        if (withoutFrame) {
            out.push_back(uint8_t(0x30 | v >> 4));
            out.push_back(uint8_t(0x30 | (v & 0x0F)));
        } else {
            appendNibblePair(out, v, lowBase_);
        }
    }
    out.push_back(kEndMark);
    return success(std::move(out));
}

Answer Firmware::read() const
{
    std::vector<uint8_t> out;
    out.reserve(2 * mem_.size() + 2);
    out.push_back(kAck);
    for (uint8_t b : mem_) appendNibblePair(out, b, lowBase_);
    out.push_back(kEndMark);
    return success(std::move(out));
}

Answer Firmware::write(const std::vector<uint8_t>& in)
{
    if (in.size() < mem_.size()) return failure(EINVAL);
    Answer a = storeAndEcho(0, in.data(), mem_.size());
    if (!a.success) return a;
    // The keyboard acknowledges the image and echoes what it stored.
    a.data.insert(a.data.begin(), kAck);
    return a;
}

Answer Firmware::blockRead(const std::vector<uint8_t>& in)
{
    if (in.size() < 2) return failure(EINVAL);
    const size_t addr = size_t(in[0]) | size_t(in[1]) << 8;
    if (addr % kBlock != 0 || addr + kBlock > mem_.size()) return failure(EINVAL);
    if (faults_.take(FaultKind::BlockFail, kBlockRead, uint32_t(addr))) return failure(EIO);
    std::vector<uint8_t> out;
    out.reserve(2 * kBlock + 1);
    for (size_t i = 0; i < kBlock; ++i) appendNibblePair(out, mem_[addr + i], lowBase_);
    out.push_back(kEndMark);
    return success(std::move(out));
}

Answer Firmware::blockWrite(const std::vector<uint8_t>& in)
{
    if (in.size() < kBlockRequest) return failure(EINVAL);
    const size_t addr = size_t(in[0]) | size_t(in[1]) << 8;
    if (addr % kBlock != 0 || addr + kBlock > mem_.size()) return failure(EINVAL);
    if (faults_.take(FaultKind::BlockFail, kBlockWrite, uint32_t(addr))) return failure(EIO);
    if (faults_.take(FaultKind::Corrupt, kBlockWrite, uint32_t(addr))) {
        // A failing memory cell: the keyboard echoes what it was sent but
        // keeps every byte but 0 and the markers FE, FF one higher.
        uint8_t kept[kBlock];
        for (size_t i = 0; i < kBlock; ++i) {
            const uint8_t b = in[2 + i];
            kept[i] = (b == 0 || b >= 0xFE) ? b : uint8_t(b + 1);
        }
        Answer a = storeAndEcho(addr, kept, kBlock);
        if (!a.success) return a;
        a.data.clear();
        for (size_t i = 0; i < kBlock; ++i) appendNibblePair(a.data, in[2 + i], lowBase_);
        a.data.push_back(kEndMark);
        return a;
    }
    return storeAndEcho(addr, in.data() + 2, kBlock);
}

Answer Firmware::storeAndEcho(size_t addr, const uint8_t* data, size_t n)
{
    std::vector<uint8_t> old(mem_.begin() + long(addr), mem_.begin() + long(addr + n));
    std::memcpy(mem_.data() + addr, data, n);
    if (!path_.empty()) {
        // A block goes into the file in place; the whole image, or a file
        // someone removed, is written anew.
        int e = n == mem_.size() ? ENOENT : saveMemoryBlock(path_, addr, data, n);
        if (e == ENOENT) e = saveMemoryFile(path_, mem_);
        if (e) {
            // Not kept: the memory stays as the file has it.
            std::copy(old.begin(), old.end(), mem_.begin() + long(addr));
            return failure(uint32_t(e));
        }
    }
    // The registers live in the last block of the image: a write that reaches
    // it hands the keyboard the registers stamped there.
    if (addr + n > mem_.size() - kBlock) adoptTail(false, false, false);
    std::vector<uint8_t> out;
    out.reserve(2 * n + 1);
    for (size_t i = 0; i < n; ++i) appendNibblePair(out, mem_[addr + i], lowBase_);
    out.push_back(kEndMark);
    return success(std::move(out));
}

}  // namespace kbdsim
