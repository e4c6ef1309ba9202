#include "ui/legend_preview.h"

#include "device/transfer.h"
#include "legend/legend.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace ptu {

LegendPrinter::LegendPrinter(const State& st) : paper(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // Landscape for a grid wider than high.
    const bool wide = (st.mv.kxn - st.mv.kxs) > (st.mv.kyn - st.mv.kys);
    paper->setPageOrientation(wide ? QPageLayout::Landscape : QPageLayout::Portrait);
    paper->setDocName("Key legends");
}

LegendPrinter::~LegendPrinter() = default;

LegendPreview::LegendPreview(const State& st, Platform& pf, std::string dataFile, QWidget* parent, bool differs)
    : LegendPrinter(st),
      QPrintPreviewDialog(paper.get(), parent),
      st_(st),
      pf_(pf),
      dataFile_(std::move(dataFile)),
      differs_(differs)
{
    setWindowTitle("Print Legends");
    Pitch = new QDoubleSpinBox(this);
    Pitch->setObjectName("Pitch");
    Pitch->setRange(legend::kMinPitch, legend::kMaxPitch);
    Pitch->setDecimals(2);
    Pitch->setSingleStep(0.05);
    Pitch->setSuffix(" mm");
    Pitch->setValue(legend::kDefaultPitch);
    Pitch->setToolTip("The distance from one key to the next on the keyboard");
    Programming = new QCheckBox("&Programming sheet", this);
    Programming->setToolTip("Adds the grid with every key's macro text and a table of the keys with a text");
    ExportPdf = new QAction("&Export PDF...", this);
    ExportPdf->setToolTip("Saves the sheets as a PDF file");
    // The options on a tool bar row of their own below the preview's.
    if (QToolBar* bar = findChild<QToolBar*>()) {
        if (auto* frame = qobject_cast<QMainWindow*>(bar->parentWidget())) {
            frame->addToolBarBreak();
            bar = frame->addToolBar("Legend options");
            bar->setMovable(false);
        } else {
            bar->addSeparator();
        }
        auto* label = new QLabel(" Key &pitch ", this);
        label->setBuddy(Pitch);
        bar->addWidget(label);
        bar->addWidget(Pitch);
        bar->addSeparator();
        bar->addWidget(Programming);
        bar->addSeparator();
        bar->addAction(ExportPdf);
    }
    if (parent) resize(parent->size() * 0.85);
    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { paint(p); });
    auto redraw = [this] {
        if (QPrintPreviewWidget* v = view()) v->updatePreview();
    };
    connect(Pitch, &QDoubleSpinBox::valueChanged, this, redraw);
    connect(Programming, &QCheckBox::toggled, this, redraw);
    connect(ExportPdf, &QAction::triggered, this, &LegendPreview::exportPdf);
}

LegendPreview::~LegendPreview() = default;

legend::LegendOptions LegendPreview::options() const { return {Pitch->value(), Programming->isChecked()}; }

QPrintPreviewWidget* LegendPreview::view() const { return findChild<QPrintPreviewWidget*>(); }

void LegendPreview::paint(QPrinter* printer)
{
    QPainter painter;
    if (!painter.begin(printer)) return;
    sheets_ = legend::paintLegends(painter, *printer, {st_, dataFile_, differs_}, options());
    painter.end();
}

void LegendPreview::exportPdf()
{
    const std::string path =
        pf_.chooseFile({true, "Export Key Legends as PDF", "PDF files *.pdf (*.pdf);;All files *.* (*)", "pdf"});
    if (path.empty()) return;
    std::string why;
    if (!legend::writeLegendPdf(path, {st_, dataFile_, differs_}, options(), why))
        pf_.messageBox("The legends were not exported: " + why, kAppTitle, MB_OK | MB_ICONSTOP);
}

}  // namespace ptu
