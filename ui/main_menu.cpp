// The main window's menu: the items, their shortcuts and handlers, and the
// items switched off for the model.
#include "device/identify.h"
#include "keydata/keypos.h"
#include "ui/main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ptu {

namespace {

constexpr const char* kPageCaptions[5] = {"Page &1", "Page &2", "Page &3", "Page &4", "Page &P"};
// The page index behind each of the five page items ("5" is never shown).
constexpr int kPageIndex[5] = {0, 1, 2, 3, 5};

}  // namespace

void TForm1::buildMenu()
{
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("&File");
    Open1 = file->addAction("&Open", this, &TForm1::Load1Click);
    Open1->setShortcut(QKeySequence("Ctrl+O"));
    Open1->setStatusTip("Load from a data file");
    Open1->setToolTip("Load from a data file");
    Save1 = file->addAction("&Save", this, &TForm1::Save1Click);
    Save1->setShortcut(QKeySequence("Ctrl+S"));
    Save1->setStatusTip("Save to a data file");
    Save1->setToolTip("Save to a data file");
    OpenRecent1 = file->addAction("Open &Recent Keyboard Image...", this, &TForm1::OpenRecent1Click);
    Compare1 = file->addAction("Co&mpare With File...", this, &TForm1::Compare1Click);
    PrintLegends1 = file->addAction("&Print Legends...", this, &TForm1::PrintLegends1Click);
    PrintLegends1->setShortcut(QKeySequence("Ctrl+P"));
    PrintLegends1->setStatusTip("Print the key legends and a programming sheet");
    file->addSeparator();
    Exit1 = file->addAction("E&xit");
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);

    QMenu* keyboard = bar->addMenu("&Keyboard");
    Read1 = keyboard->addAction("&Read");
    Read1->setShortcut(QKeySequence("Ctrl+R"));
    connect(Read1, &QAction::triggered, this, &TForm1::Read1Click);
    Write1 = keyboard->addAction("&Write");
    Write1->setShortcut(QKeySequence("Ctrl+W"));
    connect(Write1, &QAction::triggered, this, &TForm1::Write1Click);
    Verify1 = keyboard->addAction("&Verify", this, &TForm1::Verify1Click);
    keyboard->addSeparator();
    TestKeys1 = keyboard->addAction("&Test Keys...", this, &TForm1::TestKeys1Click);
    TestKeys1->setShortcut(QKeySequence("Ctrl+T"));

    PageEdit1 = bar->addMenu("&Edit");
    Undo1 = PageEdit1->addAction("&Undo", this, &TForm1::Undo1Click);
    Undo1->setShortcut(QKeySequence::Undo);
    Undo1->setEnabled(false);
    PageEdit1->addSeparator();
    CopyKey1 = PageEdit1->addAction("&Copy Key", this, &TForm1::CopyKey1Click);
    CopyKey1->setShortcut(QKeySequence(Qt::Key_F3));
    PasteKey1 = PageEdit1->addAction("&Paste Key", this, &TForm1::PasteKey1Click);
    PasteKey1->setShortcut(QKeySequence(Qt::Key_F5));
    Cut1 = PageEdit1->addAction("Cle&ar Key", this, &TForm1::Cut1Click);
    Cut1->setShortcut(QKeySequence(Qt::Key_F7));
    PageEdit1->addSeparator();
    ClearPage1 = PageEdit1->addMenu("Clea&r Page");
    Current1 = ClearPage1->addAction("&Current", this, [this] { clearPage(st_.kd.pi); });
    for (int i = 0; i < 5; ++i)
        ClearPageItem[size_t(i)] = ClearPage1->addAction(kPageCaptions[i], this, [this, i] { clearPage(kPageIndex[i]); });
    All1 = ClearPage1->addAction("&All Pages", this, [this] { clearPage(kAllPages); });
    CopyPageTo1 = PageEdit1->addMenu("Cop&y Current Page To");
    for (int i = 0; i < 5; ++i)
        CopyPageItem[size_t(i)] = CopyPageTo1->addAction(kPageCaptions[i], this, [this, i] { copyPageTo(kPageIndex[i]); });
    // Paste Key is offered while the key clipboard holds a text; F5 works always.
    connect(PageEdit1, &QMenu::aboutToShow, this, [this] { PasteKey1->setEnabled(!st_.kd.tbuf.empty()); });
    connect(PageEdit1, &QMenu::aboutToHide, this, [this] { PasteKey1->setEnabled(true); });

    View1 = bar->addMenu("&View");
    for (int i = 0; i < 5; ++i) {
        ViewPageItem[size_t(i)] = View1->addAction(kPageCaptions[i], this, [this, i] { viewPage(kPageIndex[i]); });
        ViewPageItem[size_t(i)]->setShortcut(QKeySequence(QString("Ctrl+%1").arg(i + 1)));
    }

    Config1 = bar->addAction("&Config", this, &TForm1::Config1Click);
    Config1->setShortcut(QKeySequence("Ctrl+G"));
    MSR1 = bar->addAction("&MSR", this, &TForm1::MSR1Click);
    Help1 = bar->addAction("&Help");
    Help1->setShortcut(QKeySequence(Qt::Key_F1));
    connect(Help1, &QAction::triggered, this, &TForm1::Help1Click);
    Exit2 = bar->addAction("E&xit");
    connect(Exit2, &QAction::triggered, this, &TForm1::Exit1Click);

    // Top-level items carry their shortcuts for the whole window.
    for (QAction* a : {Config1, MSR1, Help1, Exit2}) addAction(a);
}

void TForm1::switchOffMenuItems()
{
    const Flags& f = st_.fl;
    const int pages = pn[st_.mv.kbt_f];
    for (int i = 1; i < 5; ++i) {
        if (pages > kPageIndex[i]) continue;
        ClearPageItem[size_t(i)]->setEnabled(false);
        ViewPageItem[size_t(i)]->setEnabled(false);
        CopyPageItem[size_t(i)]->setEnabled(false);  // a page nobody would see
    }
    // The single-page models of the small and large families.
    if (singlePageSwitch(f, st_.mv.kbt_f)) {
        for (QAction* a : ClearPageItem) a->setEnabled(false);
        All1->setEnabled(false);
        View1->setEnabled(false);
        for (QAction* a : ViewPageItem) a->setEnabled(false);
        CopyPageTo1->setEnabled(false);
        for (QAction* a : CopyPageItem) a->setEnabled(false);
        st_.rg.r28 &= 0x7F;
    }
    if (!f.usb_f) {
        if (f.pad_f) st_.rg.r28 |= 0x20;
        typematicRule(st_);
        if (st_.mv.kbt_f == 7) MSR1->setEnabled(false);
        if (f.capj_f || f.m17_f) {
            MSR1->setEnabled(false);
            st_.rg.r28 &= 0x7F;
        }
    }
}

}  // namespace ptu
