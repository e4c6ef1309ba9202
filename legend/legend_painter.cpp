// The drawing of the sheets. Lengths are worked out in millimetres and
// turned into the device's pixels, so that a key on paper is as wide as the
// pitch whatever the printer's resolution; text sizes are set the same way.
#include "keydata/charset.h"
#include "keydata/default_labels.h"
#include "keydata/models.h"
#include "legend/legend.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QStringList>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <utility>

namespace ptu::legend {

namespace {

constexpr double kHeaderMm = 16.0;  // the header band, its rule included
constexpr double kGapMm = 4.0;      // between the header and the grid or table
const QColor kBoxLine(160, 160, 160);
const QColor kRowLine(200, 200, 200);

class Sheets {
public:
    Sheets(QPainter& p, QPagedPaintDevice& dev, const LegendSource& src, const LegendOptions& o)
        : p_(p), dev_(dev), st_(src.st), o_(o), k_(std::max(1, dev.logicalDpiX()) / 25.4)
    {
        file_ = src.dataFile.empty() ? QString("(key data not saved)")
                                     : QString::fromStdString(std::filesystem::path(src.dataFile).filename().string());
        if (!src.dataFile.empty() && src.differs) file_ += " (the key data differs from this file)";
        const std::string name = modelName(st_.mv.kbt_f);
        model_ = QString("Model %1: %2").arg(st_.mv.kbt_f).arg(name.empty() ? "unknown" : name.c_str());
    }

    int drawAll()
    {
        const double width = dev_.width() / k_, height = dev_.height() / k_ - kHeaderMm - kGapMm;
        for (bool programming : {false, true}) {
            if (programming && !o_.programming) break;
            for (int page : pagesInUse(st_.mv)) {
                const std::vector<Tile> tiles = gridTiles(st_, page, o_.pitch, width, height);
                for (size_t i = 0; i < tiles.size(); ++i) grid(page, tiles[i], i, tiles.size(), programming);
            }
        }
        if (o_.programming) table();
        return sheets_;
    }

private:
    double px(double mm) const { return mm * k_; }
    QString screen(const std::string& bytes) const { return QString::fromStdString(screenText(st_.loc.tset, bytes)); }

    QFont font(double emMm, bool bold = false) const
    {
        QFont f;
        f.setFamilies({"DejaVu Sans", "Liberation Sans", "Noto Sans"});
        f.setStyleHint(QFont::SansSerif);
        f.setPixelSize(std::max(1, int(std::lround(px(emMm)))));
        f.setBold(bold);
        // Letter spacing keeps the shaper from joining letters into
        // ligatures, so "ff" stays two letters for a PDF's text search.
        f.setLetterSpacing(QFont::AbsoluteSpacing, 1.0 / 64);
        return f;
    }
    QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, &dev_); }
    QPen pen(const QColor& c, double mm) const
    {
        QPen pen(c);
        pen.setWidthF(px(mm));
        return pen;
    }

    // A new sheet with its header: the title on the left, the model, the
    // data file and the pitch on the right, a rule below. Returns the top of
    // what follows, in pixels.
    double begin(const QString& title)
    {
        if (sheets_++) dev_.newPage();
        const double w = dev_.width(), h = px(kHeaderMm - 2);
        const QFont small = font(3.0);
        const QStringList lines{model_, file_, QString("Key pitch %1 mm").arg(o_.pitch, 0, 'f', 2)};
        double rightW = 0;
        for (const QString& l : lines) rightW = std::max(rightW, metrics(small).horizontalAdvance(l));
        rightW = std::min(rightW + px(1), w / 2);
        p_.setPen(Qt::black);
        p_.setFont(small);
        p_.drawText(QRectF(w - rightW, 0, rightW, h), Qt::AlignRight | Qt::AlignVCenter, lines.join('\n'));
        const QFont big = font(5.5, true);
        const double titleW = w - rightW - px(4);
        p_.setFont(big);
        p_.drawText(QRectF(0, 0, titleW, h), Qt::AlignLeft | Qt::AlignVCenter,
                    metrics(big).elidedText(title, Qt::ElideRight, titleW));
        p_.setPen(pen(Qt::black, 0.3));
        p_.drawLine(QPointF(0, px(kHeaderMm - 1)), QPointF(w, px(kHeaderMm - 1)));
        return px(kHeaderMm + kGapMm);
    }

    // The column letters and row characters a part of the grid spans (the
    // last two characters of the position names); rows only when the part
    // does not hold them all.
    QString span(const Tile& t) const
    {
        auto name = [&](int c, int r) { return QString::fromStdString(positionName(st_.mv, 0, c, r)).right(2); };
        const ModelValues& mv = st_.mv;
        QString s = QString("columns %1 to %2").arg(name(t.c0, mv.kys).at(0)).arg(name(t.c1 - 1, mv.kys).at(0));
        if (t.r0 != mv.kys || t.r1 != mv.kyn)
            s += QString(", rows %1 to %2").arg(name(mv.kxs, t.r0).at(1)).arg(name(mv.kxs, t.r1 - 1).at(1));
        return s;
    }

    void grid(int page, const Tile& t, size_t part, size_t parts, bool programming)
    {
        QString title = QString::fromStdString(pageName(page));
        if (programming) title += " programming";
        if (parts > 1) title += QString(", part %1 of %2: %3").arg(part + 1).arg(parts).arg(span(t));
        const double top = begin(title);
        const double pitch = px(o_.pitch);
        const double left = std::max(0.0, (dev_.width() - (t.c1 - t.c0) * pitch) / 2);
        std::set<std::pair<int, int>> corners;
        for (int r = t.r0; r < t.r1; ++r) {
            for (int c = t.c0; c < t.c1; ++c) {
                if (!legendKey(st_, page, c, r)) continue;
                const QRectF box(left + (c - t.c0) * pitch, top + (r - t.r0) * pitch, pitch, pitch);
                p_.setPen(pen(kBoxLine, 0.1));
                p_.setBrush(Qt::NoBrush);
                p_.drawRect(box);
                const QString caption = screen(keyCell(st_.kd.kcap, page, c, r));
                if (programming) programmedKey(box, caption, screen(programmedText(st_, page, c, r)));
                else legendCaption(box, caption);
                for (int dc : {0, 1})
                    for (int dr : {0, 1}) corners.insert({c - t.c0 + dc, r - t.r0 + dr});
            }
        }
        // Cut marks: a small cross where box corners meet.
        const double arm = px(std::min(2.0, o_.pitch * 0.12));
        p_.setPen(pen(Qt::black, 0.15));
        for (const auto& [c, r] : corners) {
            const QPointF at(left + c * pitch, top + r * pitch);
            p_.drawLine(at - QPointF(arm, 0), at + QPointF(arm, 0));
            p_.drawLine(at - QPointF(0, arm), at + QPointF(0, arm));
        }
    }

    // The caption as large as the box takes it, centred: condensed when
    // it is long, on two lines when it has a blank and is larger so.
    void legendCaption(const QRectF& box, const QString& caption)
    {
        if (caption.isEmpty()) return;
        const double start = o_.pitch * 0.3, room = o_.pitch - 2.0;
        // The largest size at which the lines fit the box, in mm.
        auto size = [&](const QStringList& lines, QFont::Stretch stretch) {
            QFont f = font(start, true);
            f.setStretch(stretch);
            double wide = 0;
            for (const QString& l : lines) wide = std::max(wide, metrics(f).horizontalAdvance(l) / k_);
            const double high = lines.size() * start * 1.2;
            return std::max(1.2, start * std::min({1.0, room / std::max(wide, 1e-3), room / high}));
        };
        QStringList lines{caption};
        QFont::Stretch stretch = QFont::Unstretched;
        double em = size(lines, stretch);
        if (em < start && size(lines, QFont::Condensed) > em) {
            stretch = QFont::Condensed;
            em = size(lines, stretch);
        }
        const qsizetype blank = caption.indexOf(' ', caption.size() / 2 - 1);
        const qsizetype split = blank > 0 ? blank : caption.lastIndexOf(' ');
        if (em < start && split > 0) {
            const QStringList two{caption.left(split), caption.mid(split + 1)};
            if (size(two, stretch) > em) {
                lines = two;
                em = size(two, stretch);
            }
        }
        QFont f = font(em, true);
        f.setStretch(stretch);
        p_.setPen(Qt::black);
        p_.setFont(f);
        p_.drawText(box, Qt::AlignCenter, lines.join('\n'));
    }

    // The caption small at the top, the macro text below it in small print,
    // cut short with an ellipsis where it does not fit the box.
    void programmedKey(const QRectF& box, const QString& caption, const QString& text)
    {
        const QRectF in = box.adjusted(px(0.8), px(0.6), -px(0.8), -px(0.6));
        const QFont capFont = font(std::max(1.4, o_.pitch * 0.15), true);
        p_.setPen(Qt::black);
        p_.setFont(capFont);
        p_.drawText(in, Qt::AlignLeft | Qt::AlignTop, metrics(capFont).elidedText(caption, Qt::ElideRight, in.width()));
        if (text.isEmpty()) return;
        const QRectF body = in.adjusted(0, metrics(capFont).height() + px(0.3), 0, 0);
        const QFont small = font(std::max(1.2, o_.pitch * 0.1));
        p_.setFont(small);
        p_.drawText(body, fitted(small, body, text), wrapping());
    }

    // Texts wrap between words, and inside a word longer than the line.
    static QTextOption wrapping()
    {
        QTextOption o(Qt::AlignLeft | Qt::AlignTop);
        o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return o;
    }
    // The height of a wrapped text in the font at the width.
    double heightOf(const QFont& f, double width, const QString& text)
    {
        p_.setFont(f);
        return p_.boundingRect(QRectF(0, 0, width, 1e9), text, wrapping()).height();
    }

    // The text, or as much of it as fits the rectangle with an ellipsis.
    QString fitted(const QFont& f, const QRectF& r, const QString& text)
    {
        auto fits = [&](const QString& t) { return heightOf(f, r.width(), t) <= r.height() + 0.5; };
        if (fits(text)) return text;
        qsizetype lo = 0, hi = text.size();
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            if (fits(text.left(mid) + QChar(0x2026))) lo = mid;
            else hi = mid - 1;
        }
        return text.left(lo) + QChar(0x2026);
    }

    // Every key with a text: position name, caption, macro text.
    void table()
    {
        const double w = dev_.width(), bottom = dev_.height();
        const double colX[3] = {0, px(18), px(46)};
        const double colW[3] = {px(17), px(27), w - px(46)};
        const QFont body = font(3.3), bold = font(3.3, true);
        const double pad = px(0.8);
        double y = 0;
        auto heading = [&] {
            y = begin("Key texts");
            p_.setFont(bold);
            p_.setPen(Qt::black);
            const char* names[3] = {"Key", "Caption", "Macro text"};
            const double h = metrics(bold).height();
            for (int i = 0; i < 3; ++i) p_.drawText(QRectF(colX[i], y, colW[i], h), Qt::AlignLeft, names[i]);
            y += h + pad;
            p_.setPen(pen(Qt::black, 0.2));
            p_.drawLine(QPointF(0, y), QPointF(w, y));
            y += pad;
        };
        heading();
        const QFontMetricsF fm = metrics(body);
        bool any = false;
        for (int page : pagesInUse(st_.mv)) {
            for (int r = 0; r < kRows; ++r) {
                for (int c = 0; c < kCols; ++c) {
                    const std::string& macro = programmedText(st_, page, c, r);
                    if (macro.empty() || !legendKey(st_, page, c, r)) continue;
                    any = true;
                    const QString cells[3] = {QString::fromStdString(positionName(st_.mv, page, c, r)),
                                              screen(keyCell(st_.kd.kcap, page, c, r)), screen(macro)};
                    double h = 0;
                    for (int i = 0; i < 3; ++i)
                        h = std::max(h, heightOf(body, colW[i], cells[i]));
                    if (y + h > bottom) heading();
                    // A text longer than a whole sheet is cut at the sheet's end.
                    h = std::min(h, bottom - y);
                    p_.setFont(body);
                    p_.setPen(Qt::black);
                    for (int i = 0; i < 3; ++i) {
                        const QRectF cell(colX[i], y, colW[i], h);
                        p_.drawText(cell, i == 2 ? fitted(body, cell, cells[i]) : cells[i], wrapping());
                    }
                    y += h + pad;
                    p_.setPen(pen(kRowLine, 0.1));
                    p_.drawLine(QPointF(0, y), QPointF(w, y));
                    y += pad;
                }
            }
        }
        if (!any) {
            p_.setFont(body);
            p_.setPen(Qt::black);
            p_.drawText(QRectF(0, y, w, fm.height()), Qt::AlignLeft, "No key holds a macro text.");
        }
    }

    QPainter& p_;
    QPagedPaintDevice& dev_;
    const State& st_;
    const LegendOptions& o_;
    const double k_;  // device pixels per millimetre
    QString file_, model_;
    int sheets_ = 0;
};

}  // namespace

int paintLegends(QPainter& painter, QPagedPaintDevice& device, const LegendSource& src, const LegendOptions& o)
{
    return Sheets(painter, device, src, o).drawAll();
}

}  // namespace ptu::legend
