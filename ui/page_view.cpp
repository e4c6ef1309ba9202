// The page view: panels and row boxes refreshed from the key data of the
// current page, and the faces that mark the current key and row.
#include "keydata/default_labels.h"
#include "keydata/keypos.h"
#include "ui/colours.h"
#include "ui/key_test_mode.h"
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QApplication>

#include <utility>

namespace ptu {

namespace {

// Whether the mark operations may touch a control: not disabled, not hidden.
bool markable(const QWidget* w) { return w && w->isEnabled() && !w->isHidden(); }

void setRowFace(RowBox* box, Colour colour, bool bold, bool italic)
{
    QPalette p = box->palette();
    const QColor c = toQColor(colour, QApplication::palette());
    if (p.color(QPalette::Base) != c) {
        p.setColor(QPalette::Base, c);
        box->setPalette(p);
    }
    QFont f = box->font();
    if (f.bold() != bold || f.italic() != italic) {
        f.setBold(bold);
        f.setItalic(italic);
        box->setFont(f);
    }
}

}  // namespace

void TForm1::refreshPanel(KeyPanel* p, int col, int row)
{
    const KeyData& kd = st_.kd;
    const std::string& cap = keyCell(kd.kcap, kd.pi, col, row);
    p->setVisible(keyUse(st_, kd.pi, col, row) == KEY_USABLE);
    p->setCaption(shown(st_, cap));
    showKeyText(p, col, row);
    // Screen readers (and tests) read the grid by position name and caption.
    std::string name = positionName(st_.mv, kd.pi, col, row);
    if (!cap.empty() && cap != name) name += " " + cap;
    p->setAccessibleName(shown(st_, name));
}

void TForm1::synckeys()
{
    st_.log.printf(" in synckeys at %ld \n", pf_.now());
    const ModelValues& mv = st_.mv;
    for (int r = 0; r < std::min(mv.kyn, kRows); ++r) {
        for (int c = 0; c < std::min(mv.kxn, kCols); ++c) {
            KeyPanel* p = panelAt(c, r);
            refreshPanel(p, c, r);
            unmarkKey(p);
            markKey(p);
        }
    }
    SetPanelFace(nullptr);
    if (keyTest_) keyTest_->pageShown();
}

void TForm1::SetPanelFace(RowBox* box)
{
    Log& log = st_.log;
    const KeyData& kd = st_.kd;
    const size_t pi = size_t(kd.pi);
    log.printf(" in SetPanelFace, pi=%d, tm=%ld \n", kd.pi, pf_.now());
    const int c = kd.kxi[pi];
    if (c < 0 || c >= kCols) return;
    // Refilling the boxes never commits: a box that loses the focus now
    // (hidden, or left for Edit1) has been committed by whoever changed the
    // current key, or shows nothing typed.
    const bool wasRefilling = std::exchange(refilling_, true);
    for (int i = 0; i < std::min(st_.mv.kyn, kRows); ++i) {
        const int u = keyUse(st_, kd.pi, c, i);
        log.printf(" use_f=%d \n", u);
        // A box that is hidden with the focus would hand it to the next box
        // in the chain, which would then count as being edited.
        if (u != KEY_USABLE && (ked[size_t(i)]->hasFocus() || kpe[size_t(i)]->hasFocus())) Edit1->setFocus();
        ked[size_t(i)]->setVisible(u == KEY_USABLE);
        kpe[size_t(i)]->setVisible(u == KEY_USABLE);
        kpe[size_t(i)]->setText(shown(st_, keyCell(kd.kcap, pi, c, i)));
        kpe[size_t(i)]->dropped = 0;
        setRowFace(kpe[size_t(i)], clBtnFace, false, false);
        log.printf(" ked[%d].len = %ld \n", i, long(ked[size_t(i)]->text().size()));
        const QString macro = shown(st_, keyCell(kd.hbuf, pi, c, i));
        RowBox* box = ked[size_t(i)];
        const bool longText = macro.size() > kKeyTextBoxMax;
        box->setMaxLength(longText ? int(macro.size()) : kKeyTextBoxMax);
        box->setToolTip(longText ? QString("This key text has %1 characters, more than the %2 the box takes "
                                           "by typing. It is kept whole unless you change it.")
                                       .arg(macro.size())
                                       .arg(kKeyTextBoxMax)
                                 : QString());
        box->setText(macro);
        box->dropped = 0;
        if (log.isOpen()) {
            log.printf(" pi=%d, i=%d, kxi[pi]=%d \n", kd.pi, i, c);
            log.printf(" ked[%d][0]=.%s. \n", i, keyCell(kd.hbuf, pi, c, i).c_str());
            log.printf(" ked[%d][1]=.%s. \n", i, "");
        }
    }
    refilling_ = wasRefilling;
    RowBox* row = box;
    const int r = kd.kyi[pi];
    if (!row && r >= 0 && r < kRows) row = kpe[size_t(r)];
    if (!markable(row)) return;
    if (kd.edit_f == 2) setRowFace(row, clAqua, false, false);
    else if (kd.edit_f == 1) setRowFace(row, clYellow, false, false);
    else setRowFace(row, clFuchsia, true, true);
}

void TForm1::markKey(KeyPanel* panel)
{
    KeyPanel* p = panel ? panel : currentPanel();
    const KeyData& kd = st_.kd;
    ktag = kd.kxi[size_t(kd.pi)] * st_.mv.kyn + kd.kyi[size_t(kd.pi)];
    if (!markable(p)) return;
    if (p->Tag == ktag) {
        p->setFace({clFuchsia, true, true, p->face().text});
        return;
    }
    const bool programmed = !p->hint().isEmpty();
    p->setCaptionFont(programmed, false, programmed ? clYellow : clBlack);
}

void TForm1::unmarkKey(KeyPanel* panel)
{
    KeyPanel* p = panel ? panel : currentPanel();
    if (!markable(p)) return;
    const bool programmed = !p->hint().isEmpty();
    p->setFace({clBtnFace, programmed, false, programmed ? clYellow : clBlack});
}

void TForm1::unmarkRow(RowBox* box)
{
    const KeyData& kd = st_.kd;
    const int r = kd.kyi[size_t(kd.pi)];
    RowBox* b = box ? box : (r >= 0 && r < kRows ? kpe[size_t(r)] : nullptr);
    if (!markable(b)) return;
    setRowFace(b, clBtnFace, false, b->font().italic());
}

}  // namespace ptu
