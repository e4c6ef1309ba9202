// The key text editor: what typing in the row boxes does. A macro text
// reaches the key data only through a commit (Return, the arrow and page keys,
// leaving the box any way but Escape); Escape puts the stored text back. A
// refill of the boxes from the key data never commits: whatever changes the
// current key, column or page commits the row being edited first.
#include "keydata/charset.h"
#include "keydata/keypos.h"
#include "keydata/syntax.h"
#include "ui/colours.h"
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStatusBar>

#include <cstdio>
#include <utility>

namespace ptu {

namespace {

// A status text about a box: its last byte and its length, or the empty
// form with the box's address.
std::string boxState(const std::string& t, const RowBox* box, const char* full, const char* empty)
{
    char buf[96];
    if (t.empty()) std::snprintf(buf, sizeof buf, empty, static_cast<const void*>(box));
    else std::snprintf(buf, sizeof buf, full, unsigned((unsigned char)t.back()), int(t.size()));
    return buf;
}

}  // namespace

int TForm1::curCol() const { return std::clamp(st_.kd.kxi[size_t(st_.kd.pi)], 0, kCols - 1); }
int TForm1::curRow() const { return std::clamp(st_.kd.kyi[size_t(st_.kd.pi)], 0, kRows - 1); }

void TForm1::reportDropped(std::size_t dropped)
{
    if (dropped == 0) return;
    char buf[160];
    if (dropped == 1)
        std::snprintf(buf, sizeof buf, "A key text holds at most %zu characters: 1 character was dropped.",
                      kMaxMacroText);
    else
        std::snprintf(buf, sizeof buf, "A key text holds at most %zu characters: %zu characters were dropped.",
                      kMaxMacroText, dropped);
    statusBar()->showMessage(buf, 15000);
    st_.log.printf(" %s \n", buf);
}

void TForm1::reportRefused(const std::u32string& refused)
{
    const std::string text = refusedMessage(st_.loc.tset, refused);
    statusBar()->showMessage(QString::fromStdString(text), 15000);
    st_.log.printf(" %s \n", text.c_str());
}

void TForm1::refuseForeign(RowBox* box)
{
    // Take out every character the locale set has no byte for; the caret
    // stays where it was among the characters that remain.
    const QString t = box->text();
    const int cursor = box->cursorPosition();
    QString kept;
    std::u32string refused;
    int newCursor = 0;
    for (qsizetype i = 0; i < t.size();) {
        const bool pair = t.at(i).isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate();
        const qsizetype n = pair ? 2 : 1;
        const char32_t c = pair ? QChar::surrogateToUcs4(t.at(i), t.at(i + 1)) : t.at(i).unicode();
        if (keyByte(st_.loc.tset, c)) {
            kept += t.mid(i, n);
            if (i < cursor) newCursor += int(n);
        } else if (refused.find(c) == std::u32string::npos) {
            refused += c;
        }
        i += n;
    }
    if (refused.empty()) return;
    box->refused += int(t.size() - kept.size());
    box->setText(kept);
    box->setCursorPosition(newCursor);
    reportRefused(refused);
}

void TForm1::commitText(int row)
{
    if (row < 0 || row >= kRows) return;
    RowBox* box = ked[size_t(row)];
    const int c = curCol();
    KeyPanel* p = panelAt(c, row);
    const QString typed = box->text();
    const std::size_t noRoom = std::size_t(std::exchange(box->dropped, 0));
    // An unchanged box stores nothing: a long text read from a file stays whole.
    if (typed == p->hint()) {
        reportDropped(noRoom);
        return;
    }
    std::u32string refused;
    // A key text is one line: a pasted or dropped line break and what follows are not stored.
    const std::string raw = keyBytes(st_, firstLine(typed), &refused);
    if (!refused.empty()) reportRefused(refused);
    std::size_t taken = 0;
    const std::string text = syntex(st_, raw, &taken);
    reportDropped(noRoom + raw.size() - taken);
    recordChange("Edit Key", [&] {
        keyCell(st_.kd.hbuf, st_.kd.pi, c, row) = text;
        showKeyText(p, c, row);
    });
    // The box shows what was stored ("{ENTER}" for "{ enter }", the text
    // cut to what a key holds), so leaving it afterwards stores nothing more.
    box->setText(p->hint());
    // A text kept as typed that the keyboard would not give back: said at once.
    if (!p->problem().isEmpty()) {
        const QString what = QString::fromStdString(keyName(st_.kd.pi, c, row)) + ": " + p->problem();
        statusBar()->showMessage(what, 30000);
        st_.log.printf(" %s \n", what.toLocal8Bit().constData());
    }
}

void TForm1::commitCaption(int row)
{
    if (row < 0 || row >= kRows) return;
    const int c = curCol();
    KeyPanel* p = panelAt(c, row);
    std::u32string refused;
    const std::string name = keyBytes(st_, kpe[size_t(row)]->text().section('\n', 0, 0), &refused);
    if (!refused.empty()) reportRefused(refused);
    const QString face = shown(st_, name);
    if (face == p->caption()) return;
    recordChange("Edit Key Name", [&] {
        p->setCaption(face);
        keyCell(st_.kd.kcap, st_.kd.pi, c, row) = name;
    });
}

void TForm1::commitEditing()
{
    const int r = curRow();
    if (st_.kd.edit_f == 1) {
        commitText(r);
        captionFace(r);
    } else if (st_.kd.edit_f == 2) {
        commitCaption(r);
    }
}

void TForm1::captionFace(int row)
{
    KeyPanel* p = panelAt(curCol(), row);
    const bool programmed = !p->hint().isEmpty();
    p->setCaptionFont(programmed, false, programmed ? clYellow : clBlack);
}

void TForm1::commitRowEditor()
{
    const int r = curRow();
    // A name being typed is stored too: the command refills the name box.
    if (st_.kd.edit_f == 2) commitCaption(r);
    if (ked[size_t(r)]->text().isEmpty()) return;  // emptying the box alone does not clear the key
    commitText(r);
}

RowBox* TForm1::editedBox() const
{
    if (st_.kd.edit_f == 1) return ked[size_t(curRow())];
    if (st_.kd.edit_f == 2) return kpe[size_t(curRow())];
    return nullptr;
}

void TForm1::leaveEditing()
{
    if (RowBox* box = editedBox()) box->isText ? EditExit(box) : PanelExit(box);
}

void TForm1::startEditing(RowBox* box)
{
    if (!box->isVisible()) return;
    box->setFocus(Qt::OtherFocusReason);
    // A window that is not active gets the focus only once it is activated:
    // the editing starts now all the same, so what is typed or dropped
    // meanwhile is the box's typing.
    if (editedBox() == box) return;
    leaveEditing();
    box->isText ? EditEnter(box) : PanelEnter(box);
}

bool TForm1::rowBoxEvent(RowBox* box, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusAboutToChange:
        focusFromEdit_ = st_.kd.edit_f;
        return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A menu opening over the box, the menu bar taking the keys (Alt), or
        // another window: the editing goes on.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        const bool aside =
            why == Qt::PopupFocusReason || why == Qt::ActiveWindowFocusReason || why == Qt::MenuBarFocusReason;
        if (event->type() == QEvent::FocusOut) {
            if (!aside) box->isText ? EditExit(box) : PanelExit(box);
            return false;
        }
        if (editedBox() == box) return false;  // back from the menu or the other window
        // A press that brought the focus here: its handler looks at the
        // editing state from before the press.
        pressedInto_ = why == Qt::MouseFocusReason ? box : nullptr;
        leaveEditing();  // a box left aside for the menu bar, then for this one
        box->isText ? EditEnter(box) : PanelEnter(box);
        return false;
    }
    case QEvent::MouseButtonPress:
        if (box->isText) EditMouseDown(box, static_cast<QMouseEvent*>(event)->button());
        pressedInto_ = nullptr;
        return false;
    default: return false;
    }
}

void TForm1::EditEnter(RowBox* box)
{
    KeyData& kd = st_.kd;
    st_.log.printf("In EditEnter: %p, kyi=%d \n", static_cast<void*>(box), kd.kyi[size_t(kd.pi)]);
    kd.edit_f = 1;
    escape_f = false;
    popupOn();
    kd.kyi[size_t(kd.pi)] = box->Tag;
    setStatus(2, boxState(keyBytes(st_, box->text()), box, " e=%xh  %d ", " e-%p, 0 "));
    markKey();
    SetPanelFace();
}

void TForm1::EditExit(RowBox* box)
{
    KeyData& kd = st_.kd;
    st_.log.printf("In EditExit: %p, kxi=%d, kyi=%d \n", static_cast<void*>(box), kd.kxi[size_t(kd.pi)],
                   kd.kyi[size_t(kd.pi)]);
    kd.edit_f = 0;
    popupOff();
    const std::string s = boxState(keyBytes(st_, box->text()), box, " x=%xh  %d ", " x- ");
    setStatus(2, s);
    st_.log.printf(" %s \n", s.c_str());
    if (escape_f) box->setText(panelAt(curCol(), box->Tag)->hint());
    else if (!refilling_) commitText(box->Tag);
    st_.log.printf(" ked[?]=.%s. \n", keyBytes(st_, box->text()).c_str());
    unmarkKey();
    unmarkRow();
}

bool TForm1::EditKeyDown(RowBox* box, int vk)
{
    KeyData& kd = st_.kd;
    st_.log.printf("In EditKeyDown: %p, %xh \n", static_cast<void*>(box), vk);
    const std::string s = boxState(keyBytes(st_, box->text()), box, " d=%xh  %d ", " d-%p ");
    setStatus(3, s);
    st_.log.printf(" %s \n", s.c_str());
    if (vk == VK_F11) {
        startRecording(box);
        return true;
    }
    if (vk != VK_UP && vk != VK_DOWN && vk != VK_PRIOR && vk != VK_NEXT) return false;
    const int row = curRow();
    commitText(row);
    captionFace(row);
    // The editing ends before the current key or page changes.
    Edit1->setFocus();
    if (vk == VK_UP || vk == VK_DOWN) {
        unmarkKey();
        unmarkRow();
        kd.kyi[size_t(kd.pi)] = nextRow(curCol(), row, vk == VK_DOWN ? 1 : -1);
        markKey();
        SetPanelFace();
    } else {
        pageStep(vk == VK_NEXT ? 1 : -1);
    }
    return true;
}

void TForm1::EditKeyUp(RowBox* box)
{
    char buf[96];
    const std::string t = keyBytes(st_, box->text());
    if (t.empty()) std::snprintf(buf, sizeof buf, " u-%p ", static_cast<void*>(box));
    else std::snprintf(buf, sizeof buf, " u=%xh  %d, LK=%xh ", unsigned((unsigned char)t.back()), int(t.size()), LastKey);
    setStatus(3, buf);
    if (st_.log.isOpen()) {
        st_.log.printf(" %s \n", buf);
        for (unsigned char b : t) st_.log.printf(" %xh", b);
        st_.log.printf(" \n");
    }
}

bool TForm1::EditKeyPress(RowBox* box, int ch)
{
    st_.log.printf("In EditKeyPress: %p, %xh \n", static_cast<void*>(box), ch);
    LastKey = ch;
    escape_f = false;
    const std::string s = boxState(keyBytes(st_, box->text()), box, " p=%xh  %d ", " p- ");
    setStatus(3, s);
    st_.log.printf(" %s \n", s.c_str());
    return endTyping(ch, [this] {
        const int row = curRow();
        commitText(row);
        captionFace(row);
    });
}

bool TForm1::endTyping(int ch, const std::function<void()>& commit)
{
    if (ch == 13 || ch == 10) {
        commit();
    } else if (ch == 27) {
        escape_f = true;
    } else {
        return false;
    }
    Edit1->setFocus();
    return true;
}

void TForm1::kedChange(RowBox* box)
{
    char buf[96];
    const std::string t = keyBytes(st_, box->text());
    if (t.empty()) std::snprintf(buf, sizeof buf, " pp=%p, LastKey=%xh ", static_cast<void*>(box), LastKey);
    else
        std::snprintf(buf, sizeof buf, " ch=%xh, len=%d, LastKey=%xh, i=%d ", unsigned((unsigned char)t.back()),
                      int(t.size()), LastKey, box->Tag);
    setStatus(2, buf);
    st_.log.printf("%s \n", buf);
}

void TForm1::EditMouseDown(RowBox* box, Qt::MouseButton button)
{
    // The press gave this box the focus before the handler runs: what counts
    // is whether a key-name box was being edited when the button went down.
    const int was = pressedInto_ == box ? focusFromEdit_ : st_.kd.edit_f;
    if (button == Qt::RightButton && was == 2) kpe[size_t(box->Tag)]->setFocus(Qt::MouseFocusReason);
}

void TForm1::PanelEnter(RowBox* box)
{
    KeyData& kd = st_.kd;
    st_.log.printf("In PanelEnter \n");
    kd.edit_f = 2;
    escape_f = false;
    unmarkKey();
    unmarkRow();
    kd.kyi[size_t(kd.pi)] = box->Tag;
    markKey();
    SetPanelFace();
}

void TForm1::PanelExit(RowBox* box)
{
    st_.log.printf("In PanelExit \n");
    st_.kd.edit_f = 0;
    if (pageChange_f) {
        pageChange_f = false;
        return;
    }
    if (escape_f) box->setText(panelAt(curCol(), box->Tag)->caption());
    else if (!refilling_) commitCaption(box->Tag);
    unmarkKey();
    unmarkRow();
}

bool TForm1::PanelKeyPress(RowBox* box, int ch)
{
    st_.log.printf("In PanelKeyPress %x \n", ch);
    escape_f = false;
    return endTyping(ch, [this, box] { commitCaption(box->Tag); });
}

bool TForm1::PanelKeyDown(RowBox* box, int vk)
{
    KeyData& kd = st_.kd;
    st_.log.printf("In PanelKeyDown %x \n", vk);
    if (vk != VK_UP && vk != VK_DOWN && vk != VK_PRIOR && vk != VK_NEXT) return false;
    commitCaption(box->Tag);
    if (vk == VK_UP || vk == VK_DOWN) {
        const int r = nextRow(curCol(), box->Tag, vk == VK_DOWN ? 1 : -1);
        Edit1->setFocus();
        unmarkKey();
        unmarkRow();
        kd.kyi[size_t(kd.pi)] = r;
        markKey();
        SetPanelFace();
    } else {
        pageChange_f = true;
        Edit1->setFocus();
        pageStep(vk == VK_NEXT ? 1 : -1);
    }
    return true;
}

void TForm1::Edit1Enter()
{
    st_.log.printf("In Edit1Enter \n");
    if (refilling_) return;  // the refill that moved the focus here marks the key itself
    markKey();
    SetPanelFace();
}

void TForm1::Edit1Exit()
{
    st_.log.printf("In Edit1Exit \n");
    unmarkKey();
    unmarkRow();
}

}  // namespace ptu
