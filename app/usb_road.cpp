#include "app/usb_road.h"

#include "platform/qt/qt_platform.h"
#include "ui/usb_chooser.h"

namespace ptu {

bool usbRoad(State& st, Platform& pf, const UsbModelChooser& askModel)
{
    st.fl.usb_f = 1;
    Registers& rg = st.rg;
    rg.r2a = 0;
    rg.r28 = 5;
    rg.r27 = 4;
    rg.r29 = 2;
    rg.ldt = 16;

    int failed = openUSB(st, pf);
    if (failed == 0) failed = ReadConfig(st, pf);
    if (failed != 0) {
        if (st.fl.bat_f) st.fl.cancel_f = 1;
        else AskConfig(st, pf, askModel);
    }
    return !st.fl.cancel_f;
}

int endRun(State& st, Platform& pf, int code)
{
    st.log.close();
    closeUSB(st, pf);
    return exitStatus(code);
}

bool runUsbRoad(State& st, QtPlatform& pf, std::unique_ptr<TDialog2>& chooser)
{
    chooser = std::make_unique<TDialog2>(st);
    TDialog2* dialog = chooser.get();
    const bool headless = pf.headless();
    const UsbModelChooser ask = [dialog, headless, &pf](State& s) {
        if (headless) {
            pf.warning("the USB keyboard model cannot be chosen without a display");
            s.fl.cancel_f = 1;
            return;
        }
        // Why the model is asked: the loader's reason when the library
        // did not load, else the keyboard did not answer through it.
        const auto* loader = dynamic_cast<const DlLibrary*>(&pf.library());
        const std::string why = loader && !loader->errorText().empty()
                                    ? loader->errorText()
                                    : std::string("the USB keyboard library did not reach a keyboard");
        dialog->setNote("No USB keyboard answered: " + why +
                        ". Name the model to open, edit and save data files; Read and Write need the keyboard.");
        dialog->exec();
    };
    if (usbRoad(st, pf, ask)) return true;
    chooser.reset();
    endRun(st, pf, 1);
    return false;
}

}  // namespace ptu
