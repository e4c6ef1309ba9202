#include "device/transfer.h"

#include "device/batch_file.h"
#include "device/block_loop.h"
#include "device/driver_device.h"
#include "device/replacing_file.h"
#include "device/rwkb.h"
#include "device/usb.h"
#include "keydata/decode.h"

#include <algorithm>
#include <vector>

namespace ptu {

namespace {

// The device of the block transfers: the first driver, else the second.
DevHandle openDriver(State& st, Platform& pf)
{
    logDeviceAccess(st, pf, "\n");
    return openDriverDevice(st, pf);
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

// No device opened: the log line, the box where the transfer has one, two tones.
int noDevice(State& st, Platform& pf, const char* name, const char* boxTitle)
{
    st.log.printf(" %s failed \n", name);
    if (boxTitle) pf.messageBox(std::string(name) + " failed", boxTitle, MB_OK);
    pf.beep(1000, 100);
    pf.beep(1000, 100);
    return XFER_NO_DEVICE;
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
    st.log.printf(" in rwkb16( %ld,%p ) at %ld \n", long(type), static_cast<void*>(buffer.data()), pf.now());
    // USB keyboards are served by their own transport from here on.
    if (st.fl.usb_f) return rwkbu(st, pf, type, buffer);

    if (type != XFER_READ && type != XFER_WRITE) return XFER_FAILED;
    const bool reading = type == XFER_READ;
    DevHandle h = openDriver(st, pf);
    if (h == kNoDevice) return noDevice(st, pf, kRwkb16Road.name, nullptr);

    st.log.printf(reading ? " -> Rkb16 <- \n" : " -> Wkb16 <- \n");
    const int kbb = transferSize(st);
    const BlockEnd done = runBlocks(st, pf, h, {kRwkb16Road, reading, kbb, buffer, buffer, &observer});
    if (end) *end = {std::min(done.address, kbb), kbb, done.cause};
    return done.failed ? XFER_FAILED : XFER_OK;
}

int rwkf16(State& st, Platform& pf, const std::string& text)
{
    BatchFile file;
    if (int refused = prepareBatchFile(pf, text, true, file)) return refused;
    return rwkf16(st, pf, file);
}

int rwkf16(State& st, Platform& pf, BatchFile& file)
{
    st.log.printf(" in rwkf16( %s ) at %ld \n", file.text.c_str(), pf.now());
    DevHandle h = openDriver(st, pf);
    if (h == kNoDevice) return noDevice(st, pf, kRwkf16Road.name, kAppTitle);

    const bool reading = file.opt.reads();
    const int kbb = transferSize(st);
    st.log.printf(reading ? " -> R16 <- \n" : " -> W16 <- \n");
    // Never a part of an image, nor one of another keyboard.
    if (int refused = reading ? XFER_OK : checkSourceSize(pf, file, kbb)) {
        pf.closeDevice(h);
        return refused;
    }

    std::vector<uint8_t> data(static_cast<size_t>(kbb));
    const BlockEnd done = runBlocks(st, pf, h, {kRwkf16Road, reading, kbb, file.source, data});
    if (done.failed && reading) file.out.discard();  // the file a read replaces stays as it was
    if (done.interrupted) {
        sayInterrupted(pf, file, done.address, kbb);
        return interruptedResult(done.interrupted);
    }
    if (done.failed) {
        if (reading) pf.warning(file.opt.name + " was left as it was" + (done.cause.empty() ? "" : ": " + done.cause));
        else pf.warning(failedWriteText({std::min(done.address, kbb), kbb, done.cause}));
        return XFER_FAILED;
    }
    // The file a read replaces is replaced only by a whole image.
    if (reading && !(file.out.write(data.data(), data.size()) && file.out.commit())) {
        pf.warning(file.out.error().empty() ? "cannot write " + file.opt.name : file.out.error());
        file.out.discard();
        return XFER_CANNOT_CREATE;
    }
    if (reading) file.read = std::move(data);
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
