#include "device/block_loop.h"

#include "device/rwkb.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace ptu {

namespace {

constexpr int kAreaBytes = int(driver::kBlockRead.out.fixed);  // request and reply area of one block
constexpr int kBlockIn = int(driver::kBlockRead.in.fixed);     // address and 16 data bytes
static_assert(driver::kBlockWrite.in.fixed == kBlockIn && driver::kBlockWrite.out.fixed == kAreaBytes);
constexpr int kMarkBytes = 512;  // the progress moves every 512 bytes

using Area = std::array<uint8_t, kAreaBytes>;

// The texts of one direction of the block transfers.
struct Texts {
    const char* start;
    const char* phrase;
    Colour colour;
};
constexpr Texts kReadTexts{"Reading 8K Keyboard Data ...", "Keyboard Reading has Completed ", kReadColour};
constexpr Texts kWriteTexts{"Writing 8K Keyboard Data ...", "Keyboard Writing has Completed ", kWriteColour};

int barStep(int kbb) { return kbb >= kMarkBytes ? 100 / (kbb / kMarkBytes) : 100; }

std::string percentText(int address, int kbb, const char* phrase)
{
    char text[64];
    std::snprintf(text, sizeof text, " %d%% %s", int(long(address) * 100 / kbb), phrase);
    return text;
}

std::string finalText(const char* phrase) { return std::string(" 100% ") + phrase; }

void pumpTimes(Platform& pf, int n)
{
    for (int i = 0; i < n; ++i) pf.pump();
}

// Why the last attempt at a block failed, for a person.
std::string blockFault(bool reading, int address, bool ok, int error, uint32_t returned, const Area& area)
{
    char where[48];
    std::snprintf(where, sizeof where, "the block at 0x%04X", unsigned(address));
    std::string why;
    if (!ok) why = std::string("the driver reported failure: ") + (error ? std::strerror(error) : "no reason given");
    else if (reading) why = "the keyboard answered " + std::to_string(returned) + " bytes, not a whole block";
    else if (returned <= driver::kBlockWriteShort) why = "the keyboard answered " + std::to_string(returned) + " bytes";
    else {
        char mark[40];
        std::snprintf(mark, sizeof mark, "the reply ended in 0x%02X, not 0x%02X", area[returned - 1],
                      unsigned(driver::kEndMark));
        why = mark;
    }
    return std::string(where) + (reading ? " could not be read" : " could not be written") + " in " +
           std::to_string(kBlockAttempts) + " attempts (" + why + ")";
}

// While a block is retried the progress box says so under what it showed.
std::string retryText(const std::string& shown, int address, int kbb, int attempt)
{
    return shown + "\nblock " + std::to_string(address / kBlockBytes + 1) + " of " +
           std::to_string(kbb / kBlockBytes) + ", attempt " + std::to_string(attempt) + " of " +
           std::to_string(kBlockAttempts);
}

// After a failed block attempt: five short low tones with waits between.
void failurePause(Platform& pf)
{
    pf.pump();
    for (int i = 0; i < 5 && !pf.interruption(); ++i) {
        pf.beep(500, 100);
        pf.pump();
        pf.sleep(400);
    }
}

// One block request on `area`. Demo mode answers 33 bytes without the driver.
bool sendBlock(State& st, Platform& pf, DevHandle h, uint32_t code, Area& area, uint32_t& returned,
               RequestRecord* record = nullptr)
{
    pf.setLastError(0);
    if (st.fl.d_f) {
        returned = driver::kBlockReadReply;
        return true;
    }
    const long long start = pf.clockMs();
    bool ok = pf.request(h, code, area.data(), kBlockIn, kAreaBytes, returned);
    returned = std::min<uint32_t>(returned, kAreaBytes);
    if (record) *record = {true, code, kBlockIn, kAreaBytes, ok, pf.lastError(), returned, pf.clockMs() - start};
    return ok;
}

void logAttempt(State& st, Platform& pf, const Area& area, uint32_t returned, int address, int errF, int k)
{
    Log& log = st.log;
    if (!log.isOpen()) return;
    for (uint32_t i = 0; i < returned; ++i) log.printf(" %x ", area[i]);
    log.printf("\n");
    log.printf(" i=%4lu, ret=%lu, gle=%lxh, err_f=%d, k=%lu \n", (unsigned long)address, (unsigned long)returned,
               (unsigned long)pf.lastError(), errF, (unsigned long)k);
}

bool blockWriteDone(bool ok, const Area& area, uint32_t returned)
{
    return ok && returned > driver::kBlockWriteShort && area[returned - 1] == driver::kEndMark;
}

// Data bytes of a block reply: every byte in D0..DF with the byte after it
// is one data byte; other bytes are skipped. Returns how many were found.
int unpackReply(const uint8_t* reply, uint32_t n, uint8_t* out, int max)
{
    int found = 0;
    for (uint32_t i = 0; i + 1 < n && found < max;) {
        if (driver::isHighNibbleByte(reply[i])) {
            out[found++] = driver::nibbleValue(reply[i], reply[i + 1]);
            i += 2;
        } else {
            ++i;
        }
    }
    return found;
}

void flushLog(State& st)
{
    if (st.log.isOpen()) std::fflush(st.log.log_fp);
}

// One block transfer as it runs.
struct BlockRun {
    explicit BlockRun(const BlockTransfer& t) : road(t.road), reading(t.reading), kbb(t.kbb), t(t) {}

    const BlockRoad& road;
    bool reading;
    int kbb;
    const BlockTransfer& t;
    int step = barStep(kbb);
    int position = 0;       // of the progress bar
    std::string shown;      // what the progress box says
    int errF = kbb == 0 ? 1 : 0;
    std::string cause = kbb == 0 ? "the keyboard's memory size is not known" : "";
    int interrupted = 0;    // the signal that stopped it
    size_t kk = 0;          // bytes kept in t.into
    int a = 0;              // the block's address
    uint32_t returned = 0;  // the length of the block's last reply

    const Texts& texts() const { return reading ? kReadTexts : kWriteTexts; }
    uint32_t code() const { return reading ? kBlockReadCode : kBlockWriteCode; }
    bool failed() const { return errF || a < kbb; }
};


void startProgress(State& st, Platform& pf, BlockRun& run)
{
    const Texts& tx = run.texts();
    pf.progressText(tx.start, run.road.announce ? tx.colour : kKeepColour);
    run.shown = tx.start;
    pf.progressBar(!run.road.logBound || st.log.isOpen(), 0, run.step);
    pf.progressRepaint();
    if (run.road.announce) pf.beep(2000, 100);
    pumpTimes(pf, 50);
}

// The request of the block at run.a; false when a write's image ends before it.
bool blockRequest(State& st, BlockRun& run, Area& area)
{
    area.fill(0);
    area[0] = uint8_t(run.a & 0xFF);
    area[1] = uint8_t(run.a >> 8);
    if (run.reading) return true;
    if (size_t(run.a) + kBlockBytes > run.t.source.size()) {
        run.errF = 1;
        run.cause = "the image is smaller than the keyboard's memory";
        return false;
    }
    st.log.printf(" %x %x -", area[0], area[1]);
    for (int i = 0; i < kBlockBytes; ++i) {
        area[size_t(2 + i)] = run.t.source[size_t(run.a + i)];
        st.log.printf(" %x", area[size_t(2 + i)]);
    }
    st.log.printf("\n");
    return true;
}

enum class Reply { kept, retry, fatal };

// Keeps what a reply carries; says whether the block went through.
Reply keepReply(const State& st, BlockRun& run, bool ok, const Area& area)
{
    if (!run.reading) return blockWriteDone(ok, area, run.returned) ? Reply::kept : Reply::retry;
    if (!ok || run.returned <= 2 * driver::kBlockBytes) return Reply::retry;
    const uint8_t* keep = area.data();
    size_t n = run.returned - 1;  // all but the end mark
    uint8_t block[kBlockBytes] = {};
    if (!run.road.keepNibbles) {
        // A reply that does not carry the whole block is retried rather
        // than kept short.
        if (unpackReply(area.data(), run.returned, block, kBlockBytes) != kBlockBytes && !st.fl.d_f)
            return Reply::retry;
        keep = block;
        n = kBlockBytes;
    }
    if (run.kk + n > run.t.into.size()) {  // never past the caller's buffer
        run.errF = 1;
        run.cause = "the replies were longer than the read buffer";
        return Reply::fatal;
    }
    std::memcpy(run.t.into.data() + run.kk, keep, n);
    run.kk += n;
    return Reply::kept;
}

// Sends the block in `area` until it goes through, at most kBlockAttempts
// times, with the pause and the retry text between attempts.
bool sendWithRetries(State& st, Platform& pf, DevHandle h, BlockRun& run, Area& area)
{
    const BlockRoad& road = run.road;
    const Area request = area;
    if (!road.pumpEachAttempt) pf.pump();
    for (int k = 0; k < kBlockAttempts; ++k) {
        if (k > 0) {
            if (road.interruptible && (run.interrupted = pf.interruption()) != 0) return false;
            pf.progressText(retryText(run.shown, run.a, run.kbb, k + 1), kKeepColour);
            pf.progressRepaint();
            area = request;
        }
        if (road.pumpEachAttempt) pf.pump();
        RequestRecord record;
        const bool ok = sendBlock(st, pf, h, run.code(), area, run.returned, &record);
        if (road.pumpEachAttempt) pf.pump();
        logAttempt(st, pf, area, run.returned, run.a, run.errF, k);
        if (run.t.observer && *run.t.observer) (*run.t.observer)({run.a, k, record, std::span<const uint8_t>(area).first(run.returned)});
        const Reply reply = keepReply(st, run, ok, area);
        if (reply == Reply::kept) {
            if (k > 0) pf.progressText(run.shown, kKeepColour);  // the retries are over
            return true;
        }
        if (reply == Reply::fatal) return false;
        st.log.printf(" %s error occurred \n", road.name);
        if (k + 1 == kBlockAttempts) run.cause = blockFault(run.reading, run.a, ok, record.error, run.returned, area);
        failurePause(pf);
    }
    return false;
}

// Every 512 bytes: the percentage, the bar a step on, the box shown.
void markProgress(State& st, Platform& pf, BlockRun& run)
{
    const std::string text = percentText(run.a, run.kbb, run.texts().phrase);
    if (run.road.logBound) st.log.printf(" %lu --> %s \n", (unsigned long)run.a, text.c_str());
    if (!run.road.logBound || st.log.isOpen()) pf.progressText(run.shown = text, kKeepColour);
    pf.progressStep();
    run.position += run.step;
    pf.progressRepaint();
    pf.progressShow();
    pumpTimes(pf, 100);
}

// The data of the block just read, as the log shows it.
void logBlockData(State& st, const Area& area, uint32_t returned)
{
    uint8_t data[kAreaBytes];
    const int n = unpackReply(area.data(), returned, data, kAreaBytes);
    for (int i = 0; i < n; ++i) st.log.printf(" %x", data[i]);
    st.log.printf("\n");
}

// The closing: the device closed, the bar hidden, the final text of a whole
// transfer, the log's summary, and for a transfer that failed (not one
// interrupted) the low tone and the box. Returns whether it failed.
bool finishBlocks(State& st, Platform& pf, DevHandle h, BlockRun& run)
{
    pf.closeDevice(h);
    pf.progressBar(false, run.position, run.step);
    const bool failed = run.failed();
    // A transfer that stopped is not shown as completed.
    if (!failed) pf.progressText(finalText(run.texts().phrase), kKeepColour);
    pf.progressRepaint();
    pf.pump();
    if (run.road.keepNibbles)
        st.log.printf(" bad=%ld, err_f=%ld, i=%ld, kbb_f=%ld, kk=%lu \n", 0L, long(run.errF), long(run.a),
                      long(st.mv.kbb_f), (unsigned long)run.kk);
    else
        st.log.printf(" bad=%ld, err_f=%ld, i=%ld, kbb_f=%ld \n", 0L, long(run.errF), long(run.a), long(st.mv.kbb_f));
    flushLog(st);
    if (failed && !run.interrupted) {
        pf.beep(500, 500);
        st.log.printf("%s", run.road.failLine);
        pf.messageBox(std::string(run.road.name) + " error", run.road.boxTitle, MB_OK);
    }
    return failed;
}

// From the progress box's start text to the closing. Returns whether the
// transfer failed.
bool blockLoop(State& st, Platform& pf, DevHandle h, BlockRun& run)
{
    startProgress(st, pf, run);
    Area area{};
    for (; run.a < run.kbb && !run.errF; run.a += kBlockBytes) {
        // An interruption lets the block in flight finish, never a new one start.
        if (run.road.interruptible && (run.interrupted = pf.interruption()) != 0) break;
        if (!blockRequest(st, run, area)) break;
        if (!sendWithRetries(st, pf, h, run, area)) {
            if (!run.interrupted) run.errF = 1;
            break;
        }
        if (run.reading && run.road.keepNibbles && st.log.isOpen()) logBlockData(st, area, run.returned);
        if (run.a % kMarkBytes == 0) markProgress(st, pf, run);
        pf.pump();
    }
    return finishBlocks(st, pf, h, run);
}

}  // namespace

int transferSize(const State& st)
{
    const int kbb = st.mv.kbb_f;
    if (kbb < kMarkBytes || kbb > kMaxMemory || kbb % kBlockBytes != 0) return 0;
    return kbb;
}


BlockEnd runBlocks(State& st, Platform& pf, DevHandle h, const BlockTransfer& t)
{
    BlockRun run(t);
    const bool failed = blockLoop(st, pf, h, run);
    return {failed, run.a, failed ? run.cause : std::string(), run.interrupted};
}

}  // namespace ptu
