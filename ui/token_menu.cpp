// The special-key menu: while a key-text box is being edited, a right click
// offers every special key of the macro syntax; choosing one types its token
// into the box. Its first column holds the text and key commands.
#include "keydata/tables.h"
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStatusBar>

#include <span>

namespace ptu {

namespace {

struct Entry {
    const char* caption;
    const char* token;
};

// Single entries of the second column.
constexpr Entry kSingles[] = {
    {"ESC", "{ESC}"},           {"Enter", "{Enter}"}, {"TAB", "{TAB}"},   {"BackSpace", "{BKS}"},
    {"Caps Lock", "{CapsLock}"}, {"Menu", "{Menu}"},   {"LWin", "{LWin}"}, {"LWinB", "{LWinB}"},
    {"RWin", "{RWin}"},         {"RWinB", "{RWinB}"},
};

constexpr Entry kFunctions[] = {
    {"F1", "{F1}"},   {"F2", "{F2}"},   {"F3", "{F3}"}, {"F4", "{F4}"}, {"F5", "{F5}"},
    {"F6", "{F6}"},   {"F7", "{F7}"},   {"F8", "{F8}"}, {"F9", "{F9}"}, {"F10", "{F10}"},
    {"F11", "{F11}"}, {"F12", "{F12}"}, {"wince F7", "{F71}"},
};

constexpr Entry kNumericPad[] = {
    {"1", "{n1}"},           {"2", "{n2}"},       {"3", "{n3}"},       {"4", "{n4}"},
    {"5", "{n5}"},           {"6", "{n6}"},       {"7", "{n7}"},       {"8", "{n8}"},
    {"9", "{n9}"},           {"0", "{n0}"},       {"Num Lock", "{NumLock}"}, {"/", "{NpDiv}"},
    {"*", "{NpStar}"},       {"Plus", "{NpPlus}"}, {"Minus", "{NpMinus}"}, {"Dot", "{NpDot}"},
    {"Enter", "{NpEnter}"},
};

constexpr Entry kShifts[] = {
    {"Left Shift", "{LSft}"},   {"Left Shift Break", "{LSftB}"},
    {"Right Shift", "{RSft}"},  {"Right Shift Break", "{RSftB}"},
};
constexpr Entry kControls[] = {
    {"Left Control", "{LCtl}"},  {"Left Control Break", "{LCtlB}"},
    {"Right Control", "{RCtl}"}, {"Right Control Break", "{RCtlB}"},
};
constexpr Entry kAlts[] = {
    {"Left Alt", "{LAlt}"},  {"Left Alt Break", "{LAltB}"},
    {"Right Alt", "{RAlt}"}, {"Right Alt Break", "{RAltB}"},
};
constexpr Entry kArrows[] = {{"Up", "{Up}"}, {"Down", "{Down}"}, {"Left", "{Left}"}, {"Right", "{Right}"}};

constexpr Entry kOthers[] = {
    {"Power", "{Power}"},        {"Sleep", "{Sleep}"},         {"Wake Up", "{WakeUp}"},
    {"Print Screen", "{PrScr}"}, {"Scroll Lock", "{ScrLock}"}, {"Pause", "{Pause}"},
    {"Insert", "{Ins}"},         {"Delete", "{Del}"},          {"Home", "{Home}"},
    {"End", "{End}"},            {"Page Up", "{PgUp}"},        {"Page Down", "{PgDn}"},
    {"Mark", "{Mark}"},          {"Separator", "{Separator}"}, {"Delay 1", "{Delay1}"},
    {"Delay 3", "{Delay3}"},     {"Delay 5", "{Delay5}"},      {"Delay 10", "{Delay10}"},
    {"{", "{LDLM}"},             {"}", "{RDLM}"},              {"BackSlash", "{BackSlash}"},
};

constexpr Entry kVirtualKeys[] = {
    {"F13", "{F13}"}, {"F14", "{F14}"}, {"F15", "{F15}"}, {"F16", "{F16}"},
    {"F17", "{F17}"}, {"F18", "{F18}"}, {"F19", "{F19}"},
};

constexpr Entry kLocale[] = {
    {"Span.1", "{Span.1}"},     {"Span.2", "{Span.2}"}, {"Span.3", "{Span.3}"},     {"Span.4", "{Span.4}"},
    {"Muhenkan", "{Muhenkan}"}, {"Henkan", "{Henkan}"}, {"Hiragana", "{Hiragana}"}, {"Ro", "{Ro}"},
};

// A caption as the menu shows it: "&" would be taken as a mnemonic.
QString menuText(const char* caption) { return QString(caption).replace('&', "&&"); }

}  // namespace

void TForm1::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    CutText1 = PopupMenu1->addAction("Cut Text", this, &TForm1::CutText1Click);
    CopyText1 = PopupMenu1->addAction("Copy Text", this, &TForm1::CopyText1Click);
    PasteText1 = PopupMenu1->addAction("Paste Text", this, &TForm1::PasteText1Click);
    ClearKey2 = PopupMenu1->addAction("Clear Key", this, &TForm1::Cut1Click);
    CopyKey2 = PopupMenu1->addAction("Copy Key", this, &TForm1::CopyKey1Click);
    PasteKey2 = PopupMenu1->addAction("Paste Key", this, &TForm1::PasteKey1Click);
    // The second column: Qt menus have no column break, a separator stands for it.
    PopupMenu1->addSeparator();

    auto add = [this](QMenu* menu, std::span<const Entry> entries) {
        for (const Entry& e : entries) {
            QAction* a = menu->addAction(menuText(e.caption));
            const std::string token = e.token;
            connect(a, &QAction::triggered, this, [this, token] { insertToken(token); });
            tokenItems.emplace_back(a, token);
        }
    };
    add(PopupMenu1, kSingles);
    add(PopupMenu1->addMenu("Functions"), kFunctions);
    add(PopupMenu1->addMenu("Numeric Pad"), kNumericPad);
    add(PopupMenu1->addMenu("Shifts"), kShifts);
    add(PopupMenu1->addMenu("Controls"), kControls);
    add(PopupMenu1->addMenu("Alts"), kAlts);
    add(PopupMenu1->addMenu("Arrows"), kArrows);
    add(PopupMenu1->addMenu("Others"), kOthers);
    VirtualKeys1 = PopupMenu1->addMenu("Virtual Keys");
    add(VirtualKeys1, kVirtualKeys);
    add(PopupMenu1->addMenu("Locale"), kLocale);

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
    } else {
        VirtualKeys1->setEnabled(false);
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
