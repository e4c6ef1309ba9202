// File > Print Legends: the print preview of the legend sheets, with the key
// pitch and the programming sheet offered on its tool bar, the printer's own
// dialog behind its Print button, and an export of the same sheets as PDF.
#pragma once

#include "keydata/state.h"
#include "legend/sheet_plan.h"
#include "platform/platform.h"

#include <QPrintPreviewDialog>

#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QDoubleSpinBox;
class QPrinter;
class QPrintPreviewWidget;

namespace ptu {

// The printer a preview draws on: a base of the dialog, so it is made
// before the dialog and outlives it.
struct LegendPrinter {
    explicit LegendPrinter(const State& st);
    ~LegendPrinter();
    std::unique_ptr<QPrinter> paper;
};

class LegendPreview : private LegendPrinter, public QPrintPreviewDialog {
public:
    // `dataFile` is the data file the key data was last saved to or opened
    // from ("" for none); the sheets' headers name it, and say when the key
    // data `differs` from it.
    LegendPreview(const State& st, Platform& pf, std::string dataFile, QWidget* parent = nullptr,
                  bool differs = false);
    ~LegendPreview() override;

    QDoubleSpinBox* Pitch = nullptr;
    QCheckBox* Programming = nullptr;
    QAction* ExportPdf = nullptr;

    legend::LegendOptions options() const;
    QPrintPreviewWidget* view() const;
    // The sheets the last drawing made.
    int sheets() const { return sheets_; }
    // Asks for a file name and writes the sheets there as PDF.
    void exportPdf();

private:
    void paint(QPrinter* printer);

    const State& st_;
    Platform& pf_;
    std::string dataFile_;
    bool differs_ = false;
    int sheets_ = 0;
};

}  // namespace ptu
