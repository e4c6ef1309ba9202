// Page and key commands of the Edit and View menus and of the special-key
// menu's first column: viewing, clearing and copying pages, the key
// clipboard from the menus, the text clipboard of the key-text boxes, undo.
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
    recordChange("Copy Page", [&] {
        if (target != st_.kd.pi) st_.kd.hbuf[size_t(target)] = st_.kd.hbuf[size_t(st_.kd.pi)];
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
                  kd.hbuf[size_t(kd.pi)][size_t(box->Tag)][size_t(kd.kxi[size_t(kd.pi)])].c_str());
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
                   kd.hbuf[size_t(kd.pi)][size_t(r)][size_t(c)].c_str());
    if (!kd.textclip.empty() &&
        fits(box, kd.textclip.size(), "The copied text (" + std::to_string(kd.textclip.size()) + " characters)"))
        box->insert(shown(st_, kd.textclip));
    commitText(r);
    st_.log.printf(" pi=%d, kyi=%d, kxi=%d, Count=%d \n", kd.pi, r, c, 1);
}

}  // namespace ptu
