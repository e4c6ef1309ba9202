#include "device/transfer.h"

#include "device/batch_file.h"
#include "device/driver_device.h"
#include "device/replacing_file.h"
#include "device/rwkb.h"
#include "device/usb.h"
#include "keydata/decode.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ptu {

namespace {

constexpr int kAreaBytes = int(driver::kBlockRead.out.fixed);  // request and reply area of one block
constexpr int kBlockIn = int(driver::kBlockRead.in.fixed);     // address and 16 data bytes
static_assert(driver::kBlockWrite.in.fixed == kBlockIn && driver::kBlockWrite.out.fixed == kAreaBytes);
constexpr int kMarkBytes = 512;  // the progress moves every 512 bytes
constexpr int kMaxMemory = 8192;

using Area = std::array<uint8_t, kAreaBytes>;

// The texts of one direction of the block transfers.
struct Texts {
    const char* start;
    const char* phrase;
    Colour colour;
};
constexpr Texts kReadTexts{"Reading 8K Keyboard Data ...", "Keyboard Reading has Completed ", kReadColour};
constexpr Texts kWriteTexts{"Writing 8K Keyboard Data ...", "Keyboard Writing has Completed ", kWriteColour};

// The memory size a transfer can move: a whole number of blocks, at least
// one progress mark, no more than the largest keyboard. 0 when kbb_f is none
// of that (no keyboard identified).
int transferSize(const State& st)
{
    const int kbb = st.mv.kbb_f;
    if (kbb < kMarkBytes || kbb > kMaxMemory || kbb % kBlockBytes != 0) return 0;
    return kbb;
}

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

// The device of the block transfers: the first driver, else the second.
DevHandle openDriver(State& st, Platform& pf)
{
    logDeviceAccess(st, pf, "\n");
    return openDriverDevice(st, pf);
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

// What an interrupted transfer left, said once on standard error.
void sayInterrupted(Platform& pf, const BatchFile& file, int moved, int kbb)
{
    if (file.opt.reads()) {
        pf.warning("interrupted: " + file.opt.name + " was left as it was");
    } else if (moved == 0) {
        pf.warning("interrupted: nothing was written; the keyboard is unchanged");
    } else if (moved < kbb) {
        pf.warning("interrupted: the keyboard holds a partial image (" + std::to_string(moved) + " of " +
                   std::to_string(kbb) + " bytes written): write it again");
    } else {
        pf.warning("interrupted: the keyboard holds the whole new image");
    }
}

}  // namespace

std::string grouped(int n)
{
    std::string digits = std::to_string(n);
    for (int i = int(digits.size()) - 3; i > (digits[0] == '-' ? 1 : 0); i -= 3) digits.insert(size_t(i), ",");
    return digits;
}

std::string partialWriteText(int moved, int total)
{
    if (moved <= 0) return "nothing of the new programming reached it, it holds the old";
    if (moved >= total) return "all " + grouped(total) + " bytes are the new programming";
    return "the first " + grouped(moved) + " of " + grouped(total) + " bytes are the new programming, the rest is the old";
}

std::string failedWriteText(const TransferEnd& end)
{
    std::string text = "The keyboard was written only in part: " + partialWriteText(end.moved, end.total) +
                       ". Write it again.";
    if (end.moved <= 0) text = "The keyboard was not written: " + partialWriteText(end.moved, end.total) + ".";
    if (!end.cause.empty()) text += " Cause: " + end.cause + ".";
    return text;
}

int rwkb16(State& st, Platform& pf, int type, std::span<uint8_t> buffer, const BlockObserver& observer,
           TransferEnd* end)
{
    Log& log = st.log;
    log.printf(" in rwkb16( %ld,%p ) at %ld \n", long(type), static_cast<void*>(buffer.data()), pf.now());
    // USB keyboards are served by their own transport from here on.
    if (st.fl.usb_f) return rwkbu(st, pf, type, buffer);

    if (type != XFER_READ && type != XFER_WRITE) return XFER_FAILED;
    const bool reading = type == XFER_READ;
    DevHandle h = openDriver(st, pf);
    if (h == kNoDevice) {
        log.printf(" rwkb16 failed \n");
        pf.beep(1000, 100);
        pf.beep(1000, 100);
        return XFER_NO_DEVICE;
    }

    const Texts& tx = reading ? kReadTexts : kWriteTexts;
    const uint32_t code = reading ? kBlockReadCode : kBlockWriteCode;
    const int kbb = transferSize(st);
    const int step = barStep(kbb);
    int position = 0;
    log.printf(reading ? " -> Rkb16 <- \n" : " -> Wkb16 <- \n");
    pf.progressText(tx.start, tx.colour);
    std::string shown = tx.start;
    pf.progressBar(log.isOpen(), 0, step);
    pf.progressRepaint();
    pf.beep(2000, 100);
    pumpTimes(pf, 50);

    int errF = kbb == 0 ? 1 : 0;
    std::string cause = kbb == 0 ? "the keyboard's memory size is not known" : "";
    size_t kk = 0;
    int a = 0;
    Area area{};
    for (; a < kbb && !errF; a += kBlockBytes) {
        area.fill(0);
        area[0] = uint8_t(a & 0xFF);
        area[1] = uint8_t(a >> 8);
        if (!reading) {
            if (size_t(a) + kBlockBytes > buffer.size()) {
                errF = 1;
                cause = "the image is smaller than the keyboard's memory";
                break;
            }
            log.printf(" %x %x -", area[0], area[1]);
            for (int i = 0; i < kBlockBytes; ++i) {
                area[2 + i] = buffer[size_t(a + i)];
                log.printf(" %x", area[2 + i]);
            }
            log.printf("\n");
        }
        const Area request = area;
        pf.pump();

        bool done = false;
        bool retried = false;
        uint32_t returned = 0;
        for (int k = 0; k < kBlockAttempts; ++k) {
            if (k > 0) {
                pf.progressText(retryText(shown, a, kbb, k + 1), kKeepColour);
                pf.progressRepaint();
                retried = true;
            }
            RequestRecord record;
            bool ok = sendBlock(st, pf, h, code, area, returned, &record);
            logAttempt(st, pf, area, returned, a, errF, k);
            if (observer) observer({a, k, record, std::span<const uint8_t>(area).first(returned)});
            if (reading && ok && returned > 2 * driver::kBlockBytes) {
                // All but the end mark; never past the caller's buffer.
                const size_t n = returned - 1;
                if (kk + n > buffer.size()) {
                    errF = 1;
                    cause = "the replies were longer than the read buffer";
                    break;
                }
                std::memcpy(buffer.data() + kk, area.data(), n);
                kk += n;
                done = true;
                break;
            }
            if (!reading && blockWriteDone(ok, area, returned)) {
                done = true;
                break;
            }
            log.printf(" rwkb16 error occurred \n");
            if (k + 1 == kBlockAttempts) cause = blockFault(reading, a, ok, record.error, returned, area);
            failurePause(pf);
            area = request;
        }
        if (!done) {
            errF = 1;
            break;
        }
        if (retried) pf.progressText(shown, kKeepColour);  // the retries are over
        if (reading && log.isOpen()) {
            // The data of the block just read (not the buffer's first block
            // over and over).
            uint8_t data[kAreaBytes];
            const int n = unpackReply(area.data(), returned, data, kAreaBytes);
            for (int i = 0; i < n; ++i) log.printf(" %x", data[i]);
            log.printf("\n");
        }
        if (a % kMarkBytes == 0) {
            const std::string text = percentText(a, kbb, tx.phrase);
            log.printf(" %lu --> %s \n", (unsigned long)a, text.c_str());
            if (log.isOpen()) pf.progressText(shown = text, kKeepColour);
            pf.progressStep();
            position += step;
            pf.progressRepaint();
            pf.progressShow();
            pumpTimes(pf, 100);
        }
        pf.pump();
    }

    pf.closeDevice(h);
    pf.progressBar(false, position, step);
    const bool failed = errF || a < kbb;
    // A transfer that stopped is not shown as completed.
    if (!failed) pf.progressText(finalText(tx.phrase), kKeepColour);
    pf.progressRepaint();
    pf.pump();
    log.printf(" bad=%ld, err_f=%ld, i=%ld, kbb_f=%ld, kk=%lu \n", 0L, long(errF), long(a), long(st.mv.kbb_f),
               (unsigned long)kk);
    flushLog(st);
    if (end) *end = {std::min(a, kbb), kbb, failed ? cause : std::string()};
    if (failed) {
        pf.beep(500, 500);
        log.printf(" win7 rwkb16 error \n");
        pf.messageBox("rwkb16 error", kKeyboardTitle, MB_OK);
        return XFER_FAILED;
    }
    return XFER_OK;
}

int rwkf16(State& st, Platform& pf, const std::string& text)
{
    BatchFile file;
    if (int refused = prepareBatchFile(pf, text, true, file)) return refused;
    return rwkf16(st, pf, file);
}

int rwkf16(State& st, Platform& pf, BatchFile& file)
{
    Log& log = st.log;
    log.printf(" in rwkf16( %s ) at %ld \n", file.text.c_str(), pf.now());
    DevHandle h = openDriver(st, pf);
    if (h == kNoDevice) {
        log.printf(" rwkf16 failed \n");
        pf.messageBox("rwkf16 failed", kAppTitle, MB_OK);
        pf.beep(1000, 100);
        pf.beep(1000, 100);
        return XFER_NO_DEVICE;
    }

    const bool reading = file.opt.reads();
    const int kbb = transferSize(st);
    uint32_t code;
    if (reading) {
        log.printf(" -> R16 <- \n");
        code = kBlockReadCode;
    } else {
        log.printf(" -> W16 <- \n");
        code = kBlockWriteCode;
        // Never a part of an image, nor one of another keyboard.
        if (int refused = checkSourceSize(pf, file, kbb)) {
            pf.closeDevice(h);
            return refused;
        }
    }

    const Texts& tx = reading ? kReadTexts : kWriteTexts;
    const int step = barStep(kbb);
    int position = 0;
    pf.progressText(tx.start, kKeepColour);
    std::string shown = tx.start;
    pf.progressBar(true, 0, step);
    pf.progressRepaint();
    pumpTimes(pf, 50);

    int errF = kbb == 0 ? 1 : 0;
    std::string cause = kbb == 0 ? "the keyboard's memory size is not known" : "";
    int interrupted = 0;
    int a = 0;
    Area request{};
    Area area{};
    std::vector<uint8_t> data;
    data.reserve(size_t(std::max(kbb, 0)));
    for (; a < kbb; a += kBlockBytes) {
        // An interruption lets the block in flight finish, never a new one start.
        if ((interrupted = pf.interruption()) != 0) break;
        request[0] = uint8_t(a & 0xFF);
        request[1] = uint8_t(a >> 8);
        if (!reading) {
            log.printf(" %x %x -", request[0], request[1]);
            for (int i = 0; i < kBlockBytes; ++i) {
                request[2 + i] = file.source[size_t(a + i)];
                log.printf(" %x", request[2 + i]);
            }
            log.printf("\n");
        } else {
            std::fill(request.begin() + 2, request.begin() + 34, 0);
        }

        bool done = false;
        bool retried = false;
        uint8_t block[kBlockBytes] = {};
        for (int k = 0; k < kBlockAttempts; ++k) {
            if (k > 0 && (interrupted = pf.interruption()) != 0) break;
            if (k > 0) {
                pf.progressText(retryText(shown, a, kbb, k + 1), kKeepColour);
                pf.progressRepaint();
                retried = true;
            }
            std::copy_n(request.begin(), 20, area.begin());
            pf.pump();
            uint32_t returned = 0;
            bool ok = sendBlock(st, pf, h, code, area, returned);
            const int error = pf.lastError();
            pf.pump();
            logAttempt(st, pf, area, returned, a, errF, k);
            if (reading && ok && returned > 2 * driver::kBlockBytes) {
                // A reply that does not carry the whole block is retried
                // rather than written short.
                int n = unpackReply(area.data(), returned, block, kBlockBytes);
                if (n == kBlockBytes || st.fl.d_f) done = true;
            } else if (!reading && blockWriteDone(ok, area, returned)) {
                done = true;
            }
            if (done) {
                std::copy_n(area.begin(), returned, request.begin());
                break;
            }
            log.printf(" rwkf16 error occurred \n");
            if (k + 1 == kBlockAttempts) cause = blockFault(reading, a, ok, error, returned, area);
            failurePause(pf);
        }
        if (interrupted) break;
        if (!done) {
            errF = 1;
            break;
        }
        if (retried) pf.progressText(shown, kKeepColour);  // the retries are over
        if (reading) data.insert(data.end(), block, block + kBlockBytes);
        if (a % kMarkBytes == 0) {
            pf.progressStep();
            position += step;
            pf.progressText(shown = percentText(a, kbb, tx.phrase), kKeepColour);
            pf.progressShow();
            pumpTimes(pf, 100);
        }
        pf.pump();
    }

    pf.closeDevice(h);
    const bool failed = errF || a < kbb;
    // The file a read replaces is replaced only by a whole image.
    std::string fileError;
    if (reading && failed) {
        file.out.discard();
    } else if (reading && !(file.out.write(data.data(), data.size()) && file.out.commit())) {
        fileError = file.out.error().empty() ? "cannot write " + file.opt.name : file.out.error();
        file.out.discard();
    } else if (reading) {
        file.read = std::move(data);
    }
    pf.progressBar(false, position, step);
    if (!failed) pf.progressText(finalText(tx.phrase), kKeepColour);
    pf.progressRepaint();
    pf.pump();
    log.printf(" bad=%ld, err_f=%ld, i=%ld, kbb_f=%ld \n", 0L, long(errF), long(a), long(st.mv.kbb_f));
    flushLog(st);
    if (interrupted) {
        sayInterrupted(pf, file, a, kbb);
        return interruptedResult(interrupted);
    }
    if (failed) {
        pf.beep(500, 500);
        log.printf(" rwkf16 error \n");
        pf.messageBox("rwkf16 error", kAppTitle, MB_OK);
        if (reading) pf.warning(file.opt.name + " was left as it was" + (cause.empty() ? "" : ": " + cause));
        else pf.warning(failedWriteText({std::min(a, kbb), kbb, cause}));
        return XFER_FAILED;
    }
    if (!fileError.empty()) {
        pf.warning(fileError);
        return XFER_CANNOT_CREATE;
    }
    return XFER_OK;
}

int rwkf(State& st, Platform& pf, const std::string& text)
{
    BatchFile file;
    if (int refused = prepareBatchFile(pf, text, false, file)) return refused;
    return rwkf(st, pf, file);
}

int rwkf(State& st, Platform& pf, BatchFile& file)
{
    Log& log = st.log;
    log.printf(" in rwkf( %s ) at %ld \n", file.text.c_str(), pf.now());
    log.printf(" fn=%s \n", file.opt.name.c_str());
    const bool reading = file.opt.reads();
    const int kbb = std::clamp(st.mv.kbb_f, 0, kMaxMemory);
    const bool big = st.mv.kbb_f == 8192;
    if (reading) {
        log.printf(" -> Rall <- \n");
        pf.progressText(big ? "Reading 8K Data from the Keyboard..." : "Reading 2K Data from the Keyboard...",
                        kKeepColour);
    } else {
        log.printf(" -> Wall <- \n");
        if (int refused = checkSourceSize(pf, file, kbb)) return refused;
        std::copy(file.source.begin(), file.source.end(), st.buf.ibuf.begin());
        pf.progressText(big ? "Writing 8K Data to the Keyboard..." : "Writing 2K Data to the Keyboard...",
                        kKeepColour);
    }
    pf.progressShow();
    pf.progressRepaint();
    pf.pump();

    if (!reading) {
        const int result = rwkb(st, pf, MODE_WRITE, st.buf.ibuf);
        if (int sig = pf.interruption()) {
            sayInterrupted(pf, file, result == RWKB_OK ? kbb : 0, kbb);
            return interruptedResult(sig);
        }
        return result;
    }

    int result = rwkb(st, pf, MODE_READ, st.buf.rbuf);
    r2wr(st, pf);
    if (int sig = pf.interruption()) {
        file.out.discard();
        sayInterrupted(pf, file, 0, kbb);
        return interruptedResult(sig);
    }
    if (result != RWKB_OK) return result;  // the file it would replace stays as it was
    file.read.assign(st.buf.ibuf.begin(), st.buf.ibuf.begin() + kbb);
    if (!file.out.write(st.buf.ibuf.data(), size_t(kbb)) || !file.out.commit()) {
        pf.warning(file.out.error().empty() ? "cannot write " + file.opt.name : file.out.error());
        file.out.discard();
        return XFER_CANNOT_CREATE;
    }
    return XFER_OK;
}

}  // namespace ptu
