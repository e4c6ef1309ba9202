// Programming many keyboards safely: Verify reads the keyboard back and
// compares it with what was written, Compare sets a file against the grid,
// Open Recent brings back an image from the history, and the memory meter
// says how much of the keyboard's memory the key texts take.
#include "device/data_file.h"
#include "device/history.h"
#include "device/keyboard_commands.h"
#include "device/transfer.h"
#include "keydata/charset.h"
#include "keydata/default_labels.h"
#include "keydata/image_build.h"
#include "ui/history_dialog.h"
#include "ui/main_window.h"

#include <QLabel>
#include <QStatusBar>

#include <fstream>

namespace ptu {

namespace {

std::string quoted(TableSetId set, const std::string& text)
{
    return text.empty() ? "(empty)" : "\"" + screenText(set, text) + "\"";
}

constexpr size_t kListedKeys = 30;

}  // namespace

void TForm1::updateMeter()
{
    if (!MemoryMeter) return;
    const MemoryUse use = memoryUse(st_);
    MemoryMeter->setText(QString::fromStdString(grouped(use.used) + " of " + grouped(use.limit) + " bytes"));
    MemoryMeter->setStyleSheet(use.overflow ? "color: red; font-weight: bold;" : "");
    MemoryMeter->setToolTip(use.overflow ? "Some key texts do not fit the keyboard's memory: they would be written empty."
                                         : "How much of the keyboard's memory the key texts take.");
    showDataSource();
}

void TForm1::clearMarks()
{
    for (const KeyDifference& d : marks_)
        if (d.page == st_.kd.pi) panelAt(d.col, d.row)->setMarked(false);
    marks_.clear();
}

void TForm1::showDifferences(const std::vector<KeyDifference>& keys, const std::vector<std::string>& settings,
                             const char* heading, const char* sideA, const char* sideB)
{
    clearMarks();
    marks_ = keys;
    for (const KeyDifference& d : marks_)
        if (d.page == st_.kd.pi) panelAt(d.col, d.row)->setMarked(true);
    std::string text = std::string(heading) + "\n";
    for (size_t i = 0; i < keys.size() && i < kListedKeys; ++i) {
        const KeyDifference& d = keys[i];
        text += "  " + positionName(st_.mv, d.page, d.col, d.row) + ": " + sideA + " " + quoted(st_.loc.tset, d.a) +
                ", " + sideB + " " + quoted(st_.loc.tset, d.b) + "\n";
    }
    if (keys.size() > kListedKeys) text += "  ... and " + std::to_string(keys.size() - kListedKeys) + " more\n";
    for (const std::string& s : settings) text += "  " + s + "\n";
    if (!keys.empty()) text += "\nThe keys of this page are marked red until the page changes.";
    pf_.messageBox(text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
}

void TForm1::Verify1Click()
{
    if (editing("Verify") || busy_ || noKeyboard("Verify")) return;
    busy_ = true;
    std::vector<uint8_t> image;
    const int result = readImage(st_, pf_, image);
    busy_ = false;
    if (result != 0) {
        statusBar()->showMessage("The keyboard could not be read: nothing was verified.", 15000);
        pf_.messageBox("The keyboard could not be read: " + transferProblem(st_, pf_, result) +
                           ".\n\nNothing was verified.",
                       kAppTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    const std::vector<uint8_t> expected = lastWritten_.empty() ? writeImageOf(st_) : lastWritten_;
    const DecodedImage kb = decodeImage(st_, image);
    const DecodedImage sent = decodeImage(st_, expected);
    const auto keys = compareKeys(st_.mv, kb.hbuf, sent.hbuf);
    // Against the last Write also the registers and stripe-reader settings
    // its tail held (the grid's own registers are normalised copies).
    const auto settings = lastWritten_.empty() ? std::vector<std::string>{}
                                               : compareSettings(kb.rg, kb.magcfg, sent.rg, sent.magcfg);
    if (keys.empty() && settings.empty()) {
        clearMarks();
        pf_.messageBox("The keyboard holds what was written.", kAppTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    showDifferences(keys, settings,
                    lastWritten_.empty() ? "The keyboard differs from the key texts on the grid:"
                                         : "The keyboard differs from what was written:",
                    "keyboard", lastWritten_.empty() ? "program" : "written");
}

void TForm1::Compare1Click()
{
    if (editing("Compare") || busy_) return;
    const std::string path =
        pf_.chooseFile({false, "Compare With Tessaral Keyboard Data file", kOpenFilter, "tpl", dataFolder()});
    if (path.empty()) return;
    std::string why;
    auto scratch = std::make_unique<State>();
    const int n = readDataFile(*scratch, path, why);
    if (n < 0) {
        pf_.messageBox("The file was not compared: " + why, kAppTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    if (n < st_.mv.kbb_f) {
        pf_.messageBox("The file was not compared: " + path + " holds " + std::to_string(n) +
                           " bytes, less than the keyboard's memory of " + std::to_string(st_.mv.kbb_f),
                       kAppTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    // Both sides in the codec's own form: the grid as Write would store it.
    const DecodedImage grid = decodeImage(st_, writeImageOf(st_));
    const DecodedImage file = decodeImage(st_, std::span<const uint8_t>(scratch->buf.rbuf).first(size_t(n)));
    const auto keys = compareKeys(st_.mv, grid.hbuf, file.hbuf);
    if (keys.empty()) {
        clearMarks();
        pf_.messageBox("The key texts on the grid are those of " + path + ".", kAppTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string heading = std::to_string(keys.size()) + (keys.size() == 1 ? " key differs" : " keys differ") +
                                " from " + path + ":";
    showDifferences(keys, {}, heading.c_str(), "grid", "file");
}

void TForm1::OpenRecent1Click()
{
    if (editing("Open") || busy_) return;
    HistoryDialog d(st_, listHistory(pf_.historyFolder()), this);
    if (d.exec() != QDialog::Accepted || !d.chosen()) return;
    const HistoryEntry e = *d.chosen();
    if (e.model != st_.mv.kbt_f &&
        pf_.messageBox("This image was " + std::string(e.written ? "written to" : "read from") + " a keyboard of model " +
                           std::to_string(e.model) + "; this window is for model " + std::to_string(st_.mv.kbt_f) +
                           ". Load it all the same?",
                       kAppTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    loadFile(e.path);
}

}  // namespace ptu
