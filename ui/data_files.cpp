// The File menu's Save and Open: the whole programming kept in a data file.
#include "device/data_file.h"
#include "device/transfer.h"
#include "device/usb.h"
#include "ui/main_window.h"

#include <QStatusBar>

#include <filesystem>

namespace ptu {

std::string TForm1::dataFolder() const
{
    return dataFile_.empty() ? std::string() : std::filesystem::path(dataFile_).parent_path().string();
}

void TForm1::Save1Click()
{
    if (editing("Save")) return;
    if (!confirmKeys("Save the data file anyway?")) return;
    const std::string name = dataFile_.empty() ? std::string() : std::filesystem::path(dataFile_).filename().string();
    const std::string path =
        pf_.chooseFile({true, "Save Tessaral Keyboard Data File", kSaveFilter, "tpl", dataFolder(), name});
    if (path.empty()) return;
    buildDataFile(st_);  // the keys it leaves out were listed above
    const Registers& rg = st_.rg;
    st_.log.printf(" r2a=%x, r2e=%x, r27=%x, r28=%x, r29=%x, ldt=%x \n", rg.r2a, rg.r2e, rg.r27, rg.r28, rg.r29,
                   rg.ldt);
    std::string why;
    SaveTrace trace;
    const bool saved = saveDataFile(st_, path, why, &trace);
    st_.log.printf(" save(): i=%ld, ch=%d, kbb_f=%d \n", trace.written, trace.last, st_.mv.kbb_f);
    if (!saved) {
        pf_.messageBox("The data file was not saved: " + why, kAppTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    keepCaptions(path);
    markSaved();
    statusBar()->showMessage(QString("Saved %1").arg(QString::fromLocal8Bit(path.c_str())), 5000);
}

void TForm1::Load1Click()
{
    if (editing("Load")) return;
    const std::string path =
        pf_.chooseFile({false, "Open Tessaral Keyboard Data file", kOpenFilter, "tpl", dataFolder()});
    if (!path.empty()) loadFile(path);
}

bool TForm1::loadFile(const std::string& path)
{
    std::string why;
    long long size = 0;
    // A file that is not loaded after all leaves even the raw buffer alone.
    const std::vector<uint8_t> before(st_.buf.rbuf.begin(), st_.buf.rbuf.end());
    auto refuse = [&] {
        std::copy(before.begin(), before.end(), st_.buf.rbuf.begin());
        return false;
    };
    const int n = readDataFile(st_, path, why, &size);
    if (n < 0) {
        pf_.messageBox("The data file was not loaded: " + why, kAppTitle, MB_OK | MB_ICONSTOP);
        return false;
    }
    const FileCheck check = checkDataFile(st_, std::span<const uint8_t>(st_.buf.rbuf).first(size_t(n)), size);
    if (!check.shortText.empty()) {
        pf_.messageBeep();
        pf_.messageBox("Data Loading Failed!\n" + check.shortText, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return refuse();
    }
    if (!check.doubts.empty() &&
        pf_.messageBox(path + " may not be a data file of this keyboard: " + check.doubts +
                           ".\n\nOK loads its first " + std::to_string(st_.mv.kbb_f) +
                           " bytes as the keyboard's image; Cancel leaves everything as it was.",
                       kAppTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return refuse();
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
    clearMarks();
    synckeys();
    markSaved();
    const std::string problems = problemSummary();
    statusBar()->showMessage(QString("Loaded %1").arg(QString::fromLocal8Bit(path.c_str())) +
                                 (problems.empty() ? QString() : "; " + QString::fromStdString(problems)),
                             problems.empty() ? 5000 : 30000);
    return true;
}

}  // namespace ptu
