// The File menu's Save and Open: the whole programming kept in a data file.
#include "device/data_file.h"
#include "device/transfer.h"
#include "device/usb.h"
#include "ui/main_window.h"

#include <QStatusBar>

namespace ptu {

void TForm1::Save1Click()
{
    if (editing("Save")) return;
    const std::string path = pf_.chooseFile({true, "Save Tessaral Keyboard Data File",
                                             "Tessaral Keyboard Data *.tpl (*.tpl);;All files *.* (*)", "tpl"});
    if (path.empty()) return;
    const std::vector<KeyRef> dropped = buildDataFile(st_);
    const Registers& rg = st_.rg;
    st_.log.printf(" r2a=%x, r2e=%x, r27=%x, r28=%x, r29=%x, ldt=%x \n", rg.r2a, rg.r2e, rg.r27, rg.r28, rg.r29,
                   rg.ldt);
    std::string why;
    const bool saved = saveDataFile(st_, path, why);
    st_.log.printf(" save(): i=%ld, ch=%d, kbb_f=%d \n", saved ? long(st_.mv.kbb_f) : 0L, saved ? 0 : -1,
                   st_.mv.kbb_f);
    if (!saved) {
        pf_.messageBox("The data file was not saved: " + why, kAppTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    keepCaptions(path);
    markSaved();
    statusBar()->showMessage(QString("Saved %1").arg(QString::fromLocal8Bit(path.c_str())), 5000);
    if (!dropped.empty())
        pf_.messageBox(std::to_string(dropped.size()) + (dropped.size() == 1 ? " key" : " keys") +
                           " cannot be stored in the keyboard's memory and were saved empty:\n" + keyList(dropped),
                       kAppTitle, MB_OK | MB_ICONEXCLAMATION);
}

void TForm1::Load1Click()
{
    if (editing("Load")) return;
    const std::string path = pf_.chooseFile({false, "Open Tessaral Keyboard Data file",
                                             "Tessaral Keyboard Data *.tpl (*.tpl);;All Files *.* (*)", "tpl"});
    if (!path.empty()) loadFile(path);
}

bool TForm1::loadFile(const std::string& path)
{
    std::string why;
    const int n = readDataFile(st_, path, why);
    if (n < 0) {
        pf_.messageBox("The data file was not loaded: " + why, kAppTitle, MB_OK | MB_ICONSTOP);
        return false;
    }
    undo_.begin(st_);
    const LoadOutcome outcome = loadDataFile(st_, n);
    if (outcome.whole) takeCaptions(path);
    undo_.end(st_, "Load");
    refreshUndoItem();
    if (!outcome.whole) {
        // Nothing of a short file is taken: the key texts and registers stay.
        pf_.messageBeep();
        pf_.messageBox("Data Loading Failed!", kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (outcome.otherModel) pf_.messageBox("Warning! The data file is not for this keyboard.", kUsbTitle, MB_OK);
    synckeys();
    markSaved();
    statusBar()->showMessage(QString("Loaded %1").arg(QString::fromLocal8Bit(path.c_str())), 5000);
    return true;
}

}  // namespace ptu
