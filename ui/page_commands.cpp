// Page and key commands of the Edit and View menus and of the special-key
// menu's first column: viewing, clearing and copying pages, the key
// clipboard from the menus, the text clipboard of the key-text boxes, undo.
#include "device/hid.h"
#include "keydata/fcode.h"
#include "keydata/keypos.h"
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

namespace ptu {

void TForm1::refreshUndoItem()
{
    updateMeter();
    Undo1->setEnabled(undo_.canUndo());
    Undo1->setText(undo_.canUndo() ? QString("&Undo %1").arg(QString::fromStdString(undo_.next())) : "&Undo");
}

void TForm1::recordChange(const std::string& what, const std::function<void()>& change)
{
    undo_.begin(st_);
    change();
    undo_.end(st_, what);
    refreshUndoItem();
}

void TForm1::Undo1Click()
{
    // A text typed into a box counts as a change of its own first.
    commitEditing();
    const std::string what = undo_.undo(st_);
    refreshUndoItem();
    if (what.empty()) return;
    synckeys();
    statusBar()->showMessage(QString("Undone: %1").arg(QString::fromStdString(what)), 5000);
}

void TForm1::viewPage(int page)
{
    if (page != 0 && pn[st_.mv.kbt_f] <= page) return;  // a page the model lacks
    commitEditing();
    Edit1->setFocus();
    clearMarks();
    st_.kd.pi = page;
    synckeys();
    Edit1->setFocus();
}

void TForm1::clearPage(int page)
{
    commitEditing();
    Edit1->setFocus();
    recordChange(page == kAllPages ? "Clear All Pages" : "Clear Page", [&] {
        const int first = page == kAllPages ? 0 : page;
        const int last = page == kAllPages ? pn[st_.mv.kbt_f] - 1 : page;
        for (int p = first; p <= last; ++p)
            for (auto& row : st_.kd.hbuf[size_t(p)])
                for (auto& key : row) key.clear();
        if (st_.fl.hide_f) fcode(st_);
    });
    synckeys();
}

void TForm1::copyPageTo(int target)
{
    commitEditing();
    Edit1->setFocus();
    if (target < 0 || target >= std::min(pn[st_.mv.kbt_f], kPages)) return;  // a page the model lacks
    recordChange("Copy Page", [&] {
        const int from = st_.kd.pi;
        if (target == from) {
            if (st_.fl.hide_f) fcode(st_);
            return;
        }
        // Only the keys both pages show are copied: hidden and fixed keys,
        // and the cell that holds ldt on page 1, keep what the target held,
        // and no text goes where its key cannot store it.
        const KeySlot& ldtSlot = keypos[st_.mv.kbt_f][0];
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                if (keyUse(st_, from, c, r) != KEY_USABLE || keyUse(st_, target, c, r) != KEY_USABLE) continue;
                if (from == 0 && st_.mv.kbt_f > 1 && c == ldtSlot.col && r == ldtSlot.row) continue;
                const std::string& text = keyCell(st_.kd.hbuf, from, c, r);
                if (checkKey(st_, target, c, r, text, &usbForm()).verdict == KeyVerdict::notStored) continue;
                keyCell(st_.kd.hbuf, target, c, r) = text;
            }
        if (st_.fl.hide_f) fcode(st_);
    });
    synckeys();
}

void TForm1::CopyKey1Click()
{
    commitRowEditor();
    copyKey();
}

void TForm1::PasteKey1Click()
{
    commitRowEditor();
    pasteKey();
}

void TForm1::Cut1Click()
{
    commitRowEditor();
    clearKey();
}

// Cut Text and Copy Text: the selection goes to the text clipboard; a
// selection ending in 0x10 or 0x13 loses that byte in the box first.
static void takeSelection(State& st, RowBox* box, bool cut)
{
    KeyData& kd = st.kd;
    st.log.printf(" pi=%d, kyi=%d, kxi=%d, hbuf[]=.%s. \n", kd.pi, kd.kyi[size_t(kd.pi)], kd.kxi[size_t(kd.pi)],
                  keyCell(kd.hbuf, kd.pi, kd.kxi[size_t(kd.pi)], box->Tag).c_str());
    const QString sel = box->selectedText();
    if (sel.isEmpty()) return;
    const std::string taken = keyBytes(st, sel);
    if (taken.empty()) return;
    const unsigned char last = (unsigned char)taken.back();
    if (last == 0x10 || last == 0x13) box->insert(shown(st, taken.substr(0, taken.size() - 1)));
    kd.textclip = taken;
    if (cut && box->hasSelectedText()) box->del();
    st.log.printf(" pi=%d, kyi=%d, Length=%d, tt=.%s. SelText=.%s. \n", kd.pi, box->Tag, int(taken.size()),
                  taken.c_str(), keyBytes(st, box->selectedText()).c_str());
}

void TForm1::CutText1Click() { takeSelection(st_, ked[size_t(curRow())], true); }

void TForm1::CopyText1Click() { takeSelection(st_, ked[size_t(curRow())], false); }

void TForm1::PasteText1Click()
{
    KeyData& kd = st_.kd;
    const int r = curRow(), c = curCol();
    RowBox* box = ked[size_t(r)];
    st_.log.printf(" pi=%d, kyi=%d, kxi=%d, hbuf[]=.%s. \n", kd.pi, r, c,
                   keyCell(kd.hbuf, kd.pi, c, r).c_str());
    if (!kd.textclip.empty() &&
        fits(box, kd.textclip.size(), "The copied text (" + std::to_string(kd.textclip.size()) + " characters)"))
        box->insert(shown(st_, kd.textclip));
    commitText(r);
    st_.log.printf(" pi=%d, kyi=%d, kxi=%d, Count=%d \n", kd.pi, r, c, 1);
}

}  // namespace ptu
