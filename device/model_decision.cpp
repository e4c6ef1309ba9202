#include "device/model_decision.h"

#include "device/identify.h"
#include "keydata/fcode.h"
#include "keydata/keypos.h"

namespace ptu {

namespace {

constexpr char kPlainProgress[] = " Tessaral Programmable Keyboard ";
constexpr char kUsbProgress[] = " Tessaral USB Programmable Keyboard ";

// Six pages in an 8K memory: the layout of the switch-chosen large models.
void eightKSixPages(ModelValues& mv)
{
    mv.kbb_f = 8192;
    mv.kbp_f = 6;
    mv.lmt = 8090;
}

// The caption buffer of a model chosen in the driver model chooser.
int captionOfChoice(int kbt_f)
{
    switch (kbt_f) {
    case 5: return CAP_QX11;
    case 6: return CAP_QX21;
    case 11: return CAP_QX22;
    case 12: return CAP_QX32;
    case 7: return CAP_QX41;
    default: return CAP_QX42;
    }
}

// The model progress caption of a driver-chooser model (anything else as 8).
const char* progressOfChoice(int kbt_f)
{
    switch (kbt_f) {
    case 5:
    case 6:
    case 11:
    case 12:
    case 7: return progressCaptionOf(kbt_f);
    default: return progressCaptionOf(8);
    }
}

}  // namespace

const char* progressCaptionOf(int kbt_f)
{
    switch (kbt_f) {
    case 5: return " Tessaral QX-11 Programmable Keyboard ";
    case 6: return " Tessaral QX-21  Programmable Keyboard ";
    case 7: return " Tessaral QX-41 Programmable Keyboard ";
    case 8: return " Tessaral QX-42 Programmable Keyboard ";
    case 9: return " Tessaral QX-43 Programmable Keyboard ";
    case 10: return " Tessaral QX-51 Programmable Keyboard ";
    case 11: return " Tessaral QX-22  Programmable Keyboard ";
    case 12: return " Tessaral QX-32 Programmable Keyboard ";
    case 13:
    case 15:
    case 16:
    case 17: return kUsbProgress;
    default: return kPlainProgress;
    }
}

std::optional<std::string> modelDecision(State& st, Platform& pf,
                                         const std::vector<std::string>& captionFolders,
                                         const ModelChoosers& choosers)
{
    Flags& f = st.fl;
    ModelValues& mv = st.mv;
    Registers& rg = st.rg;
    st.log.printf(" r2a=%x \n", rg.r2a);
    const CaptionBuffers caps = readCaptions(captionFolders, st.log);

    // The caption, and for the switch-chosen models the model itself.
    std::string caption;
    if (f.usb_f) {
        caption = caps[CAP_USB];
        pf.progressCaption(kUsbProgress);
    } else if (f.capj_f) {
        caption = caps[CAP_J];
        pf.progressCaption(kPlainProgress);
    } else if (f.capm_f) {
        caption = caps[CAP_M];
        pf.progressCaption(kPlainProgress);
    } else if (f.m84_f) {
        mv.kbt_f = 9;
        mv.kmax = 127;
        eightKSixPages(mv);
        caption = caps[CAP_QX43];
        pf.progressCaption(progressCaptionOf(9));
    } else if (f.m70_f) {
        mv.kbt_f = 14;
        mv.kmax = 127;
        eightKSixPages(mv);
        caption = caps[CAP_QX44];
        pf.progressCaption(caption);
    } else if (f.m17_f) {
        mv.kbt_f = 10;
        eightKSixPages(mv);
        caption = caps[CAP_QX51];
        pf.progressCaption(progressCaptionOf(10));
    } else if (f.pad_f == 2) {
        mv.kbt_f = 12;
        mv.kbp_f = 1;
        caption = caps[CAP_QX32];
        pf.progressCaption(progressCaptionOf(12));
    } else {
        caption = caps[CAP_DEFAULT];
        pf.progressCaption(kPlainProgress);
    }

    const bool switchModel = f.m84_f || f.m70_f || f.m17_f || f.pad_f == 2;
    const bool ask = !f.usb_f && !switchModel && (rg.r2a == 0 || f.pad_f == 1 || f.ask_f || f.m60_f);
    if (!ask) {
        pf.progressText("Initiating...", kKeepColour);
    } else {
        pf.messageBeep();
        pf.progressHide();
        if (f.m60_f || f.pad_f == 1) {
            DriverChoice choice;
            if (f.m60_f) {
                choice = {{"QX-41", "QX-42", "", ""}, 2};
                mv.kbt_f = 7;
            } else {
                choice = {{"QX-11", "QX-21", "QX-22", "QX-32"}, 3};
                mv.kbt_f = 5;
            }
            if (choosers.driverModel) choosers.driverModel(st, choice);
            else f.cancel_f = 1;
            caption = caps[size_t(captionOfChoice(mv.kbt_f))];
            pf.progressCaption(progressOfChoice(mv.kbt_f));
        } else {
            mv.kbt_f = 4;
            if (choosers.memoryType) choosers.memoryType(st);
            else f.cancel_f = 1;
        }
        if (f.cancel_f) return std::nullopt;
        if (mv.kbt_f < 0 || mv.kbt_f >= kModels) mv.kbt_f = 4;
        pf.progressText("Initiating ...", kKeepColour);
        mv.kbb_f = mv.kbt_f <= 2 ? 2048 : 8192;
        mv.kbp_f = pn[mv.kbt_f];
        mv.lmt = dataLimit(mv.kbb_f, mv.kbp_f);
        if (rg.r2e == 0) {
            rg.r29 = 0x9E;
            rg.r28 = 0xE8;
            rg.r27 = 4;
        }
    }

    if (!f.usb_f) {
        modelFeatureBits(st);
        typematicRule(st);
        if (mv.kbt_f == 7) {
            rg.r29 &= 0x7F;
            rg.r28 &= 0xFD;
        }
        if (f.m17_f) {
            rg.r28 &= 0xFD;
            mv.kbp_f = 6;
        }
    }
    fcode(st);
    return caption;
}

}  // namespace ptu
