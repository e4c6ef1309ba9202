#include "device/keyboard_commands.h"

#include "device/hid.h"
#include "device/history.h"
#include "device/identify.h"
#include "device/rwkb.h"
#include "device/transfer.h"
#include "keydata/decode.h"
#include "keydata/fcode.h"
#include "keydata/image_build.h"

#include <algorithm>
#include <memory>

namespace ptu {

namespace {

// The operations before the transfer: "8042" twice, DSAB, a pump pass, INFO.
// INFO re-identifies the keyboard; the window keeps the model it was built
// for (a chooser-decided model would otherwise shrink to what the bare
// identification byte says).
void openAccess(State& st, Platform& pf)
{
    const ModelValues kept = st.mv;
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    rwkb(st, pf, MODE_DSAB, st.buf.obuf);
    pf.pump();
    rwkb(st, pf, MODE_INFO, st.buf.obuf);
    st.mv = kept;
}

void closeInfo(State& st, Platform& pf)
{
    const ModelValues kept = st.mv;
    rwkb(st, pf, MODE_INFO, st.buf.obuf);
    rwkb(st, pf, MODE_INFO, st.buf.obuf);
    st.mv = kept;
}

void close8042(State& st, Platform& pf)
{
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    pf.pump();
}

const char* sizeText(const State& st, const char* eight, const char* two)
{
    return st.mv.kbb_f == 8192 ? eight : two;
}

// Hides the box and gives its label the red background back (the transfer
// colours it while it runs) under the command's own text.
void endProgress(State& st, Platform& pf, const char* text)
{
    pf.progressHide();
    pf.progressRepaint();
    pf.progressText(text, 0x0000FF);
    if (st.log.log_fp) std::fflush(st.log.log_fp);
}

const char* readText(const State& st)
{
    return sizeText(st, "Reading 8K Data from the Keyboard...", "Reading 2K Data from the Keyboard...");
}

const char* writeText(const State& st)
{
    return sizeText(st, "Writing 8K Data to the Keyboard...", "Writing 2K Data to the Keyboard...");
}

// A read's transfer between its tones and operations, into `raw` (nibble
// pairs from the driver, the plain image over USB).
int readInto(State& st, Platform& pf, std::span<uint8_t> raw, const char* label)
{
    pf.progressText(label, 0x0000FF);
    pf.progressShow();
    pf.progressRepaint();
    pf.beep(2000, 500);
    pf.pump();
    openAccess(st, pf);
    const int result = rwkb16(st, pf, XFER_READ, raw);
    pf.beep(3000, 500);
    closeInfo(st, pf);
    close8042(st, pf);
    return result;
}

}  // namespace

bool keyboardAttached(const Flags& fl) { return !fl.ask_f && !fl.d_f; }

std::string noKeyboardText(const Flags& fl, const char* command)
{
    const std::string why = fl.d_f ? "the program runs as a demonstration (-d)"
                                   : "the USB keyboard could not be opened and its model was named by hand";
    return std::string("No keyboard is attached: ") + why + ". " + command +
           " does nothing; open, edit and save data files as usual.";
}

std::string transferProblem(const State& st, Platform& pf, int result)
{
    if (std::string why = pf.deviceProblem(); !why.empty()) return why;
    if (st.fl.usb_f)
        return result == 1 ? std::string("the USB keyboard library is not loaded")
                           : "the USB keyboard library reported status " + std::to_string(result);
    if (result == XFER_FAILED) return "a block of the keyboard's memory failed in five attempts";
    return "the transfer ended with result " + std::to_string(result);
}

int readKeyboard(State& st, Platform& pf)
{
    const Registers before = st.rg;
    const int result = readInto(st, pf, st.buf.rbuf, readText(st));

    if (result != 0) {
        // The transfer's own box has said what went wrong; the user's key
        // texts, registers and stripe-reader settings stay.
        st.rg = before;
        std::fill_n(st.buf.rbuf.begin(), std::min<size_t>(2 * size_t(std::max(st.mv.kbb_f, 0)), kRawBufSize), 0);
        endProgress(st, pf, readText(st));
        return result;
    }
    if (!st.fl.usb_f) readNormalise(st);
    const int count = r2wr(st, pf);
    keepImage(pf, false, st.mv.kbt_f, std::span<const uint8_t>(st.buf.ibuf).first(size_t(std::clamp(st.mv.kbb_f, 0, 8192))));
    hid2sc(st, st.buf.rbuf);
    rtoh(st, count);
    if (st.fl.hide_f) fcode(st);
    endProgress(st, pf, readText(st));
    return result;
}

std::vector<KeyRef> buildWriteImage(State& st, Platform& pf)
{
    pf.progressText(writeText(st), 0x0000FF);
    pf.progressShow();
    pf.progressRepaint();
    std::vector<KeyRef> dropped = buildImage(st, false, [](State& s) { sc2hid(s, s.buf.ibuf); });
    st.log.printf(" write r27=%x, %x, %x \n", st.rg.r27, st.rg.r28, st.rg.r29);
    return dropped;
}

int sendWriteImage(State& st, Platform& pf, TransferEnd* end)
{
    const uint8_t r27 = st.rg.r27, r28 = st.rg.r28, r29 = st.rg.r29;
    pf.beep(2000, 500);
    pf.pump();
    openAccess(st, pf);
    const int result = rwkb16(st, pf, XFER_WRITE, st.buf.ibuf, {}, end);
    if (result == 0)
        keepImage(pf, true, st.mv.kbt_f, std::span<const uint8_t>(st.buf.ibuf).first(size_t(std::clamp(st.mv.kbb_f, 0, 8192))));
    pf.beep(3000, 500);
    closeInfo(st, pf);
    st.rg.r27 = r27;
    st.rg.r28 = r28;
    st.rg.r29 = r29;
    close8042(st, pf);
    endProgress(st, pf, writeText(st));
    return result;
}

int readImage(State& st, Platform& pf, std::vector<uint8_t>& image)
{
    const Registers before = st.rg;
    std::vector<uint8_t> raw(kRawBufSize);
    const char* label = sizeText(st, "Verifying 8K Data in the Keyboard...", "Verifying 2K Data in the Keyboard...");
    const int result = readInto(st, pf, raw, label);
    st.rg = before;  // what the keyboard holds is compared, not adopted
    const int kbb = std::clamp(st.mv.kbb_f, 0, 8192);
    image.assign(size_t(kbb), 0);
    if (result == 0) {
        if (st.fl.usb_f) std::copy_n(raw.begin(), kbb, image.begin());
        else unpackNibbles(raw, kbb, image);
    }
    endProgress(st, pf, label);
    return result;
}

std::vector<uint8_t> writeImageOf(const State& st)
{
    auto scratch = std::make_unique<State>();
    scratch->fl = st.fl;
    scratch->mv = st.mv;
    scratch->rg = st.rg;
    scratch->loc = st.loc;
    scratch->kd = st.kd;
    buildImage(*scratch, false, [](State& s) { sc2hid(s, s.buf.ibuf); });
    const int kbb = std::clamp(st.mv.kbb_f, 0, 8192);
    return {scratch->buf.ibuf.begin(), scratch->buf.ibuf.begin() + kbb};
}

}  // namespace ptu
