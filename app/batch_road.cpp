#include "app/batch_road.h"

#include "device/history.h"
#include "device/rwkb.h"
#include "device/transfer.h"
#include "platform/interruption.h"
#include "platform/qt/qt_platform.h"
#include "ui/progress_box.h"

#include <memory>

namespace ptu {

namespace {

constexpr int kAttempts = 5;

}  // namespace

int batchRoad(State& st, Platform& pf, const std::string& cp)
{
    // The file is settled before the keyboard is asked anything: a name that
    // cannot be used, or a source that is no keyboard image, ends the run
    // with no request sent.
    const bool block = st.fl.bat_f & BAT_BLOCK;
    BatchFile file;
    if (int refused = prepareBatchFile(pf, cp, block, file)) return refused;
    const bool reading = file.opt.reads();

    pf.progressText(kDetecting, kKeepColour);
    pf.progressShow();
    pf.progressRepaint();
    pf.beep(2000, 500);
    pf.pump();
    pf.sleep(500);

    bool found = false;
    for (int i = 0; i < kAttempts && !found && !pf.interruption(); ++i) {
        rwkb(st, pf, MODE_8042, st.buf.obuf);
        rwkb(st, pf, MODE_DSAB, st.buf.obuf);
        found = rwkb(st, pf, MODE_INFO, st.buf.obuf) == RWKB_OK;
        pf.pump();
    }
    if (int sig = pf.interruption(); sig && !found) {
        pf.warning("interrupted: nothing was transferred");
        pf.progressHide();
        return interruptedResult(sig);
    }

    int status;
    if (found) {
        status = block ? rwkf16(st, pf, file) : rwkf(st, pf, file);
    } else {
        status = kNoKeyboardExit;
        pf.progressText(kNoKeyboard, kKeepColour);
        pf.progressRepaint();
        pf.warning("the keyboard did not identify itself in five attempts; nothing was transferred");
        if (const std::string why = pf.deviceProblem(); !why.empty()) pf.warning(why);
    }
    // A run that was told to stop ends at once; the transfer has said what
    // it left.
    if (status >= kInterruptedBase) {
        pf.progressHide();
        return status;
    }
    // Told after the transfer had ended: nothing is left half done.
    auto interruptedAfter = [&](int sig) {
        if (!found) pf.warning("interrupted: nothing was transferred");
        else if (status != XFER_OK) pf.warning("interrupted after the transfer had failed");
        else if (reading) pf.warning("interrupted after the transfer: " + file.opt.name + " holds the keyboard's memory");
        else pf.warning("interrupted after the transfer: the keyboard holds the new image");
        pf.progressHide();
        return interruptedResult(sig);
    };
    if (int sig = pf.interruption()) return interruptedAfter(sig);

    pf.beep(reading ? 3000 : 2000, 500);
    rwkb(st, pf, MODE_INFO, st.buf.obuf);
    rwkb(st, pf, MODE_INFO, st.buf.obuf);
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    pf.pump();
    if (int sig = pf.interruption()) return interruptedAfter(sig);
    pf.progressHide();
    if (status == XFER_OK) keepImage(pf, !reading, st.mv.kbt_f, reading ? file.read : file.source);
    return status;
}

int runBatchRoad(State& st, QtPlatform& pf, const std::string& cp)
{
    catchInterruptions();
    // Without a display nobody sees the box (its texts go to standard
    // error): it is not built, which spares the run the fonts.
    std::unique_ptr<TAboutBox1> box;
    if (!pf.headless()) box = std::make_unique<TAboutBox1>();
    bindProgressBox(pf, box.get());
    const int status = batchRoad(st, pf, cp);
    bindProgressBox(pf, nullptr);
    return status;
}

}  // namespace ptu
