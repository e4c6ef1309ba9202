// The sheets as a PDF file, for ptu-tpl and the preview's export.
#include "legend/legend.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace ptu::legend {

bool writeLegendPdf(const std::string& path, const LegendSource& src, const LegendOptions& o, std::string& error)
{
    // Through a temporary file renamed at the end: a failed export keeps the
    // file that was there.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = "cannot write " + path + ": " + file.errorString().toStdString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(1200);
        pdf.setCreator("ptu (Tessaral Programmable Keyboard Manager)");
        pdf.setTitle("Key legends");
        const ModelValues& mv = src.st.mv;
        const bool wide = (mv.kxn - mv.kxs) > (mv.kyn - mv.kys);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            error = "cannot write " + path + ": the PDF could not be started";
            file.cancelWriting();
            return false;
        }
        paintLegends(painter, pdf, src, o);
        painter.end();
    }
    if (!file.commit()) {
        error = "cannot write " + path + ": " + file.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace ptu::legend
