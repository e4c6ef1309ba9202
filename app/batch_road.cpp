#include "app/batch_road.h"

#include "device/rwkb.h"
#include "device/transfer.h"
#include "platform/qt/qt_platform.h"
#include "ui/progress_box.h"

#include <memory>

namespace ptu {

namespace {

constexpr int kAttempts = 5;

// Whether the transfer of this command line reads the keyboard: what the
// transfer will act on when it finds its option, else what the switches ask.
bool readsKeyboard(const State& st, const std::string& cp)
{
    const bool block = st.fl.bat_f & BAT_BLOCK;
    if (auto o = block ? blockOption(cp) : singleOption(cp)) return o->option == 'R' || o->option == 'r';
    return st.fl.bat_f & BAT_READ;
}

}  // namespace

int batchRoad(State& st, Platform& pf, const std::string& cp)
{
    pf.progressText(kDetecting, kKeepColour);
    pf.progressShow();
    pf.progressRepaint();
    pf.beep(2000, 500);
    pf.pump();
    pf.sleep(500);

    bool found = false;
    for (int i = 0; i < kAttempts && !found; ++i) {
        rwkb(st, pf, MODE_8042, st.buf.obuf);
        rwkb(st, pf, MODE_DSAB, st.buf.obuf);
        found = rwkb(st, pf, MODE_INFO, st.buf.obuf) == RWKB_OK;
        pf.pump();
    }

    int status;
    if (found) {
        status = (st.fl.bat_f & BAT_BLOCK) ? rwkf16(st, pf, cp) : rwkf(st, pf, cp);
    } else {
        status = kNoKeyboardExit;
        pf.progressText(kNoKeyboard, kKeepColour);
        pf.progressRepaint();
        pf.warning("the keyboard did not identify itself in five attempts; nothing was transferred");
    }

    pf.beep(readsKeyboard(st, cp) ? 3000 : 2000, 500);
    rwkb(st, pf, MODE_INFO, st.buf.obuf);
    rwkb(st, pf, MODE_INFO, st.buf.obuf);
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    rwkb(st, pf, MODE_8042, st.buf.obuf);
    pf.pump();
    pf.progressHide();
    return status;
}

int runBatchRoad(State& st, QtPlatform& pf, const std::string& cp)
{
    auto box = std::make_unique<TAboutBox1>();
    bindProgressBox(pf, box.get());
    const int status = batchRoad(st, pf, cp);
    bindProgressBox(pf, nullptr);
    return status;
}

}  // namespace ptu
