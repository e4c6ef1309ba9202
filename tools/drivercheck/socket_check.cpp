#include "tools/drivercheck/socket_check.h"

#include "device/rwkb.h"
#include "device/transfer.h"
#include "keydata/decode.h"
#include "tools/drivercheck/reply_forms.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace ptu::drivercheck {

namespace {

using Bytes = std::vector<uint8_t>;

std::string count(size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// Why a request came back as failed.
std::string requestFault(CheckPlatform& pf, const RequestRecord& rec)
{
    if (rec.error == ETIMEDOUT) {
        std::string text = "no reply within " + std::to_string(pf.requestDeadlineMs(rec.code)) + " ms";
        if (pf.deadlineShortened(rec.code))
            text += " (--deadline-ms; the program waits " + std::to_string(pf.programDeadlineMs(rec.code)) + " ms)";
        else
            text += ", the program's deadline";
        return text;
    }
    if (rec.error == EPIPE) return "no reply: the connection closed before a whole reply frame came";
    return "the driver reported failure, error " + std::to_string(rec.error) + " (" + std::strerror(rec.error) +
           ") " + took(rec.elapsedMs);
}

// What went wrong with a single operation, from rwkb's result and the reply.
std::string operationFault(CheckPlatform& pf, int result, const RequestRecord& rec, std::span<const uint8_t> reply)
{
    switch (result) {
    case RWKB_OK: return {};
    case RWKB_NO_DEVICE: {
        const std::string why = pf.deviceProblem();
        return "no driver to talk to" + (why.empty() ? std::string() : ": " + why);
    }
    case RWKB_REQUEST_FAILED: return requestFault(pf, rec);
    case RWKB_SHORT_REPLY:
        return "short reply: " + count(reply.size()) + " (" + hexBytes(reply) + "), the program needs more than " +
               std::to_string(driver::kShortReply);
    default: return "the program's check failed with result " + std::to_string(result) + " (" + hexBytes(reply) + ")";
    }
}

// Adds what the program would have shown the user.
std::string withNotes(CheckPlatform& pf, std::string text)
{
    const std::string notes = pf.takeNotes();
    return notes.empty() ? text : text + "; the program shows " + notes;
}

struct Checker {
    CheckPlatform& pf;
    Report& report;
    std::unique_ptr<State> st = std::make_unique<State>();
    uint32_t kbb = 0;

    std::span<const uint8_t> replyOf(std::span<const uint8_t> buffer, const RequestRecord& rec)
    {
        return buffer.first(std::min<size_t>(rec.returned, buffer.size()));
    }

    bool info()
    {
        RequestRecord rec;
        const int result = rwkb(*st, pf, MODE_INFO, st->buf.obuf, &rec);
        const auto reply = replyOf(st->buf.obuf, rec);
        // The reply's form says more than the program's result where there is one.
        const bool answered = result == RWKB_OK || result == RWKB_NO_FRAME || result == RWKB_BAD_ENDMARK ||
                              result == RWKB_SHORT_REPLY;
        std::string fault = answered ? infoFault(reply) : std::string();
        if (fault.empty() && result != RWKB_OK) fault = operationFault(pf, result, rec, reply);
        if (!fault.empty()) {
            report.fault("INFO", withNotes(pf, fault));
            return false;
        }
        pf.takeNotes();
        kbb = uint32_t(st->mv.kbb_f);
        char regs[96];
        const Registers& rg = st->rg;
        std::snprintf(regs, sizeof regs, "r2a 0x%02X, r2e 0x%02X, r29 0x%02X, r28 0x%02X, r27 0x%02X",
                      unsigned(rg.r2a), unsigned(rg.r2e), unsigned(rg.r29), unsigned(rg.r28), unsigned(rg.r27));
        report.ok("INFO", count(reply.size()) + " " + took(rec.elapsedMs) + ": " + regs);
        return true;
    }

    void oneByte(int mode, const char* name)
    {
        RequestRecord rec;
        const int result = rwkb(*st, pf, mode, st->buf.obuf, &rec);
        const auto reply = replyOf(st->buf.obuf, rec);
        if (std::string fault = operationFault(pf, result, rec, reply); !fault.empty()) {
            report.fault(name, withNotes(pf, fault));
            return;
        }
        pf.takeNotes();
        report.ok(name, count(reply.size()) + " " + took(rec.elapsedMs));
    }

    // A whole-memory READ; the memory it carries goes to `memory`. With
    // `expected` it must be that memory (`what` names it).
    bool read(const char* name, Bytes& memory, const Bytes* expected = nullptr, const char* what = "")
    {
        RequestRecord rec;
        const int result = rwkb(*st, pf, MODE_READ, st->buf.rbuf, &rec);
        const auto reply = replyOf(st->buf.rbuf, rec);
        std::string fault = result == RWKB_REQUEST_FAILED || result == RWKB_NO_DEVICE
                                ? operationFault(pf, result, rec, reply)
                                : memoryFault(reply, kbb);
        if (fault.empty() && result != RWKB_OK) fault = operationFault(pf, result, rec, reply);
        if (fault.empty()) {
            memory.assign(kbb, 0);
            unpackNibbles(reply, int(kbb), memory);
            if (expected) {
                if (std::string d = memoryDifference(*expected, memory); !d.empty())
                    fault = std::string("not ") + what + ": " + d;
            }
        }
        if (!fault.empty()) {
            report.fault(name, withNotes(pf, fault));
            return false;
        }
        pf.takeNotes();
        report.ok(name, count(reply.size()) + " " + took(rec.elapsedMs) +
                            (expected ? std::string("; the same as ") + what : ""));
        return true;
    }

    // The block transfer of `buffer`, every attempt's reply checked.
    bool blocks(int type, const char* name, std::span<uint8_t> buffer, std::string& seen)
    {
        const bool reading = type == XFER_READ;
        std::string firstFault;
        long long slowest = 0;
        int attempts = 0;
        auto observe = [&](const BlockAttempt& b) {
            ++attempts;
            slowest = std::max(slowest, b.request.elapsedMs);
            if (!firstFault.empty()) return;
            std::string f = !b.request.ok ? requestFault(pf, b.request)
                            : reading     ? blockReadFault(b.reply)
                                          : markedReplyFault(b.reply, driver::kBlockWriteShort);
            if (f.empty()) return;
            char where[48];
            std::snprintf(where, sizeof where, "block 0x%04X, attempt %d: ", unsigned(b.address), b.attempt + 1);
            firstFault = where + f;
        };
        const int result = rwkb16(*st, pf, type, buffer, observe);
        const unsigned blockCount = kbb / driver::kBlockBytes;
        if (result == XFER_NO_DEVICE) firstFault = operationFault(pf, RWKB_NO_DEVICE, {}, {});
        else if (result != XFER_OK && firstFault.empty()) firstFault = "the transfer failed (result " + std::to_string(result) + ")";
        else if (result == XFER_OK && !firstFault.empty()) firstFault += " (the program retried and went on)";
        if (!firstFault.empty()) {
            report.fault(name, withNotes(pf, firstFault));
            return false;
        }
        pf.takeNotes();
        seen = std::to_string(blockCount) + " blocks in " + std::to_string(attempts) + " requests, the slowest in " +
               std::to_string(slowest) + " ms";
        return true;
    }

    bool blockRead(const char* name, Bytes& memory, const Bytes* expected, const char* what)
    {
        std::span<uint8_t> raw = std::span<uint8_t>(st->buf.rbuf).first(2 * size_t(kbb));
        std::string seen;
        if (!blocks(XFER_READ, name, raw, seen)) return false;
        memory.assign(kbb, 0);
        unpackNibbles(raw, int(kbb), memory);
        if (expected) {
            if (std::string d = memoryDifference(*expected, memory); !d.empty()) {
                report.fault(name, std::string("not ") + what + ": " + d);
                return false;
            }
            seen += std::string("; the same as ") + what;
        }
        report.ok(name, seen);
        return true;
    }

    bool write(const Bytes& memory)
    {
        std::copy(memory.begin(), memory.end(), st->buf.ibuf.begin());
        RequestRecord rec;
        const int result = rwkb(*st, pf, MODE_WRITE, st->buf.ibuf, &rec);
        const auto reply = replyOf(st->buf.ibuf, rec);
        std::string fault = operationFault(pf, result, rec, reply);
        if (fault.empty()) fault = markedReplyFault(reply, driver::kShortReply);
        if (!fault.empty()) {
            report.fault("WRITE", withNotes(pf, fault));
            return false;
        }
        pf.takeNotes();
        report.ok("WRITE", count(reply.size()) + " " + took(rec.elapsedMs));
        return true;
    }

};

}  // namespace

void checkSocket(CheckPlatform& pf, bool write, Report& report)
{
    Checker c{pf, report};
    // "8042" reaches the driver only when the program is told to (-T); the
    // check sends it so that a driver that has it is tested.
    c.st->fl.kbc_f = 1;
    const char* rest[] = {"DSAB", "8042", "READ", "block read"};
    if (!c.info()) {
        for (const char* op : rest) report.skipped(op, "the keyboard did not identify itself");
        if (write) report.skipped("WRITE", "nothing is written to a keyboard that was not read");
        report.keyboard("not identified");
        return;
    }
    const Registers identified = c.st->rg;
    c.oneByte(MODE_DSAB, "DSAB");
    c.oneByte(MODE_8042, "8042");
    Bytes memory, blocks;
    const bool read = c.read("READ", memory);
    const bool blocksRead = c.blockRead("block read", blocks, read ? &memory : nullptr, "the memory READ gave");

    if (write) {
        if (!read || !blocksRead) {
            report.skipped("WRITE", "the memory was not read whole, so it is not written back");
        } else {
            Bytes back;
            if (c.write(memory)) c.read("READ after WRITE", back, &memory, "the memory WRITE sent");
            std::string seen;
            if (c.blocks(XFER_WRITE, "block write", std::span<uint8_t>(memory), seen)) {
                report.ok("block write", seen);
                c.blockRead("block read-back", back, &memory, "the memory the blocks sent");
            }
        }
    }
    char id[64];
    std::snprintf(id, sizeof id, "r2a 0x%02X, r2e 0x%02X: %u bytes of memory", unsigned(identified.r2a),
                  unsigned(identified.r2e), unsigned(c.kbb));
    report.keyboard(id);
}

}  // namespace ptu::drivercheck
