#include "device/model_decision.h"

#include "device/identify.h"
#include "keydata/fcode.h"
#include "keydata/models.h"

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

// The window caption of model `kbt` from its caption file; the progress box
// takes the model's own caption.
std::string showModel(int kbt, const CaptionBuffers& caps, Platform& pf)
{
    const ModelRow& row = modelRow(kbt);
    std::string caption = caps[std::size_t(row.caption)];
    pf.progressCaption(row.progress ? row.progress : caption);
    return caption;
}

// A model of the driver model chooser shows its own captions, anything else
// those of QX-42.
int shownAfterChoice(int kbt)
{
    for (int m : {5, 6, 11, 12, 7})
        if (m == kbt) return kbt;
    return 8;
}

}  // namespace

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
    } else if (const std::optional<int> named = switchModel(f)) {
        mv.kbt_f = *named;
        limitKmax(mv, modelRow(*named).kmax);
        if (*named == 12) mv.kbp_f = 1;  // "-2": one page in the memory as identified
        else eightKSixPages(mv);
        caption = showModel(*named, caps, pf);
    } else {
        caption = caps[CAP_DEFAULT];
        pf.progressCaption(kPlainProgress);
    }

    const bool ask = !f.usb_f && !switchModel(f) && (rg.r2a == 0 || f.pad_f == 1 || f.ask_f || f.m60_f);
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
            caption = showModel(shownAfterChoice(mv.kbt_f), caps, pf);
        } else {
            mv.kbt_f = 4;
            if (choosers.memoryType) choosers.memoryType(st);
            else f.cancel_f = 1;
        }
        if (f.cancel_f) return std::nullopt;
        if (!knownModel(mv.kbt_f)) mv.kbt_f = 4;
        pf.progressText("Initiating ...", kKeepColour);
        mv.kbb_f = defaultMemory(mv.kbt_f);
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
