// Key captions kept beside the data file, and File > Print Legends.
#include "device/captions_file.h"
#include "device/transfer.h"
#include "ui/legend_preview.h"
#include "ui/main_window.h"

#include <QLineEdit>

namespace ptu {

namespace {

// At most this many warnings are listed in one message.
constexpr std::size_t kWarningsShown = 12;

}  // namespace

void TForm1::keepCaptions(const std::string& dataFile)
{
    dataFile_ = dataFile;
    fromKeyboard_ = false;
    std::string why;
    if (!saveCaptions(st_, dataFile, why))
        pf_.messageBox("The data file was saved, but the key captions were not: " + why, kAppTitle,
                       MB_OK | MB_ICONEXCLAMATION);
}

void TForm1::takeCaptions(const std::string& dataFile)
{
    dataFile_ = dataFile;
    fromKeyboard_ = false;
    const CaptionsFile f = loadCaptions(st_, dataFile);
    const std::string path = captionsPath(dataFile);
    if (!f.error.empty()) {
        pf_.messageBox("The key captions were not loaded: " + f.error, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (f.warnings.empty()) return;
    std::string text = path + ": " + std::to_string(f.warnings.size()) +
                       (f.warnings.size() == 1 ? " line was" : " lines were") + " skipped:\n";
    for (std::size_t i = 0; i < f.warnings.size() && i < kWarningsShown; ++i) text += "  " + f.warnings[i] + "\n";
    if (f.warnings.size() > kWarningsShown)
        text += "  and " + std::to_string(f.warnings.size() - kWarningsShown) + " more\n";
    pf_.messageBox(text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
}

void TForm1::PrintLegends1Click()
{
    if (busy_ || editing("Print Legends")) return;
    LegendPreview preview(st_, pf_, dataFile_, this, differsFromDataFile());
    preview.exec();
    Edit1->setFocus();
}

}  // namespace ptu
