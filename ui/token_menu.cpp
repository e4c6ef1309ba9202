// The special-key menu: while a key-text box is being edited, a right click
// offers every special key of the macro syntax; choosing one types its token
// into the box. Its first column holds the text and key commands.
#include "device/hid.h"
#include "keydata/round_trip.h"
#include "keydata/special_keys.h"
#include "keydata/tables.h"
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStatusBar>

#include <span>
#include <string_view>

namespace ptu {

namespace {

// A caption as the menu shows it: "&" would be taken as a mnemonic.
QString menuText(const char* caption) { return QString(caption).replace('&', "&&"); }

}  // namespace

void TForm1::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    RecordKeys1 = PopupMenu1->addAction("Record Keys...\tF11", this, [this] { startRecording(ked[size_t(curRow())]); });
    RecordPauses1 = PopupMenu1->addAction("Record Pauses as Delays");
    RecordPauses1->setCheckable(true);
    PopupMenu1->addSeparator();
    CutText1 = PopupMenu1->addAction("Cut Text", this, &TForm1::CutText1Click);
    CopyText1 = PopupMenu1->addAction("Copy Text", this, &TForm1::CopyText1Click);
    PasteText1 = PopupMenu1->addAction("Paste Text", this, &TForm1::PasteText1Click);
    ClearKey2 = PopupMenu1->addAction("Clear Key", this, &TForm1::Cut1Click);
    CopyKey2 = PopupMenu1->addAction("Copy Key", this, &TForm1::CopyKey1Click);
    PasteKey2 = PopupMenu1->addAction("Paste Key", this, &TForm1::PasteKey1Click);
    // The second column: Qt menus have no column break, a separator stands for it.
    PopupMenu1->addSeparator();

    auto add = [this](QMenu* menu, std::span<const SpecialKey> entries) {
        for (const SpecialKey& e : entries) {
            QAction* a = menu->addAction(menuText(e.caption));
            const std::string token = e.token;
            connect(a, &QAction::triggered, this, [this, token] { insertToken(token); });
            tokenItems.emplace_back(a, token);
        }
    };
    for (const SpecialKeyGroup& g : specialKeyGroups()) {
        QMenu* menu = *g.menu ? PopupMenu1->addMenu(g.menu) : PopupMenu1;
        if (std::string_view(g.menu) == "Virtual Keys") VirtualKeys1 = menu;
        add(menu, g.keys);
    }

    auto item = [this](const char* token) {
        for (auto& [a, t] : tokenItems)
            if (t == token) return a;
        return static_cast<QAction*>(nullptr);
    };
    WinceF7 = item("{F71}");
    Ro1 = item("{Ro}");
    Muhenkan1 = item("{Muhenkan}");
    Henkan1 = item("{Henkan}");
    Hiragana1 = item("{Hiragana}");
    Delay = {item("{Delay1}"), item("{Delay3}"), item("{Delay5}"), item("{Delay10}")};
    item("{Span.3}")->setVisible(false);
    item("{Span.4}")->setVisible(false);

    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] {
        PasteKey2->setEnabled(!st_.kd.tbuf.empty());
        PasteText1->setEnabled(!st_.kd.textclip.empty());
    });
}

void TForm1::switchOffPopupItems()
{
    if (!tableSet(st_.loc.tset).menuJapaneseKeys) {
        for (QAction* a : {Ro1, Muhenkan1, Henkan1, Hiragana1, WinceF7}) a->setEnabled(false);
    }
    if (st_.fl.usb_f) {
        WinceF7->setEnabled(false);
        for (QAction* a : Delay) a->setEnabled(false);
        RecordPauses1->setEnabled(false);  // a USB keyboard has no delays
    } else {
        VirtualKeys1->setEnabled(false);
    }
    // A token this keyboard would not give back (a key name its tables lack,
    // a key without a USB usage) is not offered: it would be typed as letters.
    for (auto& [a, token] : tokenItems) {
        const KeyCheck c = checkText(st_, token, &usbForm());
        if (c.faithful()) continue;
        a->setEnabled(false);
        a->setStatusTip(QString::fromStdString(describe(st_.loc.tset, c)));
    }
}

void TForm1::popupOn() { popupOn_ = true; }

void TForm1::popupOff() { popupOn_ = false; }

void TForm1::showPopup(QPoint globalPos)
{
    if (popupOn_ && PopupMenu1) PopupMenu1->exec(globalPos);
}

void TForm1::panelContextMenu(KeyPanel*, QPoint globalPos) { showPopup(globalPos); }

void TForm1::contextMenuEvent(QContextMenuEvent* event) { showPopup(event->globalPos()); }

bool TForm1::fits(RowBox* box, std::size_t size, const std::string& what)
{
    const qsizetype room = box->maxLength() - (box->text().size() - box->selectedText().size());
    if (qsizetype(size) <= room) return true;
    const std::string msg = what + " does not fit whole into the key text (" + std::to_string(box->maxLength()) +
                            " characters at most): not inserted.";
    statusBar()->showMessage(QString::fromStdString(msg), 15000);
    st_.log.printf(" %s \n", msg.c_str());
    return false;
}

void TForm1::insertToken(const std::string& text)
{
    RowBox* box = ked[size_t(curRow())];
    // A token cut short would be stored as its letters.
    if (fits(box, text.size(), "The token " + text)) box->insert(shown(st_, text));
}

}  // namespace ptu
