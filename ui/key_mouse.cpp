// Key selection and drag and drop: a click makes a key current, a double
// click or the right button opens its macro text, dragging with the left
// button moves a macro to another key, with the right button copies it, and
// dropping a key on the background clears it. Every macro that moves passes
// through the key clipboard.
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QCursor>

#include <cstdlib>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>

namespace ptu {

namespace {

constexpr int kDragThreshold = 10;
constexpr char kKeyMime[] = "application/x-tessaral-key";

}  // namespace

int TForm1::tagCol(const KeyPanel* p) const { return st_.mv.kyn > 0 ? p->Tag / st_.mv.kyn : 0; }
int TForm1::tagRow(const KeyPanel* p) const { return st_.mv.kyn > 0 ? p->Tag % st_.mv.kyn : 0; }

void TForm1::selectKey(int col, int row, RowBox* box)
{
    KeyData& kd = st_.kd;
    unmarkKey();
    unmarkRow();
    kd.kxi[size_t(kd.pi)] = std::clamp(col, 0, kCols - 1);
    kd.kyi[size_t(kd.pi)] = std::clamp(row, 0, kRows - 1);
    markKey();
    SetPanelFace(box);
}

void TForm1::aKeyMouseDown(KeyPanel* panel, Qt::MouseButton button, bool doubleClick, QPoint pos)
{
    KeyData& kd = st_.kd;
    Log& log = st_.log;
    log.printf(" In aKeyMouseDown %p, X=%d, Y=%d, tm=%ld \n", static_cast<void*>(panel), pos.x(), pos.y(), pf_.now());
    const int c = tagCol(panel), r = tagRow(panel);
    const int oldC = kd.kxi[size_t(kd.pi)], oldR = kd.kyi[size_t(kd.pi)];
    log.printf(" x=%d, y=%d, tx=%d, ty=%d \n", c, r, oldC, oldR);
    // The row being edited is stored before the selection moves.
    if (kd.edit_f != 0) {
        commitCaption(curRow());
        commitText(curRow());
    }
    selectKey(c, r);
    dragSource_ = nullptr;
    if (button == Qt::LeftButton) {
        log.printf(" In aKeyMouseDown Left %d,%d,%d,%d,%d \n", panel->Tag, c, r, oldC, oldR);
        dragRight_ = false;
        dragOver_ = false;
        if (doubleClick) {
            ked[size_t(r)]->setFocus(Qt::MouseFocusReason);
            return;
        }
        dragSource_ = panel;
        pressPos_ = pos;
        Edit1->setFocus(Qt::MouseFocusReason);
    } else if (button == Qt::RightButton) {
        log.printf(" In aKeyMouseDown Right %d,%d,%d,%d,%d \n", panel->Tag, c, r, oldC, oldR);
        dragRight_ = true;
        dragOver_ = false;
        if (!doubleClick) {
            dragSource_ = panel;
            pressPos_ = pos;
        }
        ked[size_t(r)]->setFocus(Qt::MouseFocusReason);
    } else {
        // The middle button and the extra ones only select the key: the
        // caret leaves a box that now shows another key (it was stored above).
        Edit1->setFocus(Qt::MouseFocusReason);
    }
}

void TForm1::aKeyMouseMove(KeyPanel* panel, QPoint pos)
{
    // The drag starts once the mouse has moved 10 pixels in one direction.
    const QPoint d = pos - pressPos_;
    if (dragSource_ != panel || std::max(std::abs(d.x()), std::abs(d.y())) < kDragThreshold) return;
    dragSource_ = nullptr;
    auto* drag = new QDrag(panel);
    auto* mime = new QMimeData;
    mime->setData(kKeyMime, QByteArray::number(panel->Tag));
    drag->setMimeData(mime);
    drag->setPixmap(panel->grab());
    drag->setHotSpot(pressPos_);
    drag->exec(dragRight_ ? Qt::CopyAction : Qt::MoveAction);
    aKeyEndDrag(panel);
}

void TForm1::aKeyMouseUp(KeyPanel* panel, Qt::MouseButton button)
{
    if (dragSource_ != panel) return;
    // Pressed and released without moving: a click.
    dragSource_ = nullptr;
    aKeyEndDrag(panel);
    if (button == Qt::RightButton && popupOn_) showPopup(QCursor::pos());
}

bool TForm1::aKeyDragOver(KeyPanel* panel, KeyPanel* source)
{
    st_.log.printf("In aKeyDragOver %p,%p \n", static_cast<void*>(panel), static_cast<void*>(source));
    dragOver_ = true;
    // Only another key panel is taken: a key dropped on itself stays as it is.
    return source != nullptr && source != panel;
}

void TForm1::aKeyDragDrop(KeyPanel* panel, KeyPanel* source)
{
    st_.log.printf(" In aKeyDragDrop %p,%p, tm=%ld \n", static_cast<void*>(panel), static_cast<void*>(source),
                   pf_.now());
    if (!panel || !source || panel == source) return;
    KeyData& kd = st_.kd;
    {
        const std::string& macro = keyCell(kd.hbuf, kd.pi, tagCol(source), tagRow(source));
        if (refusedHere(tagCol(panel), tagRow(panel), macro.empty() ? kd.tbuf : macro,
                        dragRight_ ? "Copy Key" : "Move Key"))
            return;
    }
    recordChange(dragRight_ ? "Copy Key" : "Move Key", [&] {
        const size_t pi = size_t(kd.pi);
        const int sc = tagCol(source), sr = tagRow(source);
        kd.kxi[pi] = sc;
        kd.kyi[pi] = sr;
        // The macro moves as the bytes it is, not as its screen form.
        const std::string& macro = keyCell(kd.hbuf, pi, sc, sr);
        if (!macro.empty()) kd.tbuf = macro;
        if (!dragRight_) {
            keyCell(kd.hbuf, pi, sc, sr).clear();
            showKeyText(source, sc, sr);
        }
        unmarkKey();
        unmarkRow();
        const int tc = tagCol(panel), tr = tagRow(panel);
        kd.kxi[pi] = tc;
        kd.kyi[pi] = tr;
        keyCell(kd.hbuf, pi, tc, tr) = kd.tbuf;
        showKeyText(panel, tc, tr);
        unmarkKey();
        unmarkRow();
        markKey();
        SetPanelFace();
    });
}

void TForm1::aKeyEndDrag(KeyPanel* source)
{
    st_.log.printf(" In aKeyEndDrag %p,%p, tm=%ld \n", static_cast<void*>(source), nullptr, pf_.now());
    if (dragOver_) {
        Edit1->setFocus(Qt::MouseFocusReason);
        return;
    }
    const int r = tagRow(source);
    selectKey(tagCol(source), r, r >= 0 && r < kRows ? kpe[size_t(r)] : nullptr);
}

bool TForm1::clientDragEvent(QEvent* event)
{
    auto* e = static_cast<QDropEvent*>(event);
    KeyPanel* source = draggedPanel(e);
    if (event->type() != QEvent::Drop)
        st_.log.printf("In FormDragOver %p,%p \n", static_cast<void*>(Client), static_cast<void*>(e->source()));
    // The background takes key panels only (a row box that refuses a drop is
    // not background): a text released there is refused and stays where it came from.
    if (!source || Client->childAt(e->position().toPoint())) {
        e->ignore();
        return true;
    }
    e->acceptProposedAction();
    if (event->type() == QEvent::Drop) FormDragDrop(source);
    return true;
}

bool TForm1::rowBoxDrop(RowBox* box, QDropEvent* e)
{
    // Text moved inside the box being edited is the box's own business.
    if (e->source() == box && editedBox() == box) return false;
    // A dropped text is typing: the box is edited from the drop on, and the
    // text reaches the key as typed text does. Its first line only, as a paste.
    const QString line = firstLine(e->mimeData()->text());
    if (line.isEmpty()) {
        e->ignore();
        return true;
    }
    startEditing(box);
    box->setCursorPosition(box->cursorPositionAt(e->position().toPoint()));
    box->insertCounted(line);
    // From another box of the window it is a copy: that box keeps what it shows.
    e->setDropAction(dynamic_cast<RowBox*>(e->source()) ? Qt::CopyAction : e->proposedAction());
    e->accept();
    return true;
}

void TForm1::FormDragDrop(KeyPanel* source)
{
    st_.log.printf("In FormDragDrop %p,%p \n", static_cast<void*>(Client), static_cast<void*>(source));
    if (!source) return;
    KeyData& kd = st_.kd;
    const int c = tagCol(source), r = tagRow(source);
    st_.log.printf(" pi=%d, x=%d, y=%d \n", kd.pi, c, r);
    recordChange("Clear Key", [&] {
        kd.kxi[size_t(kd.pi)] = c;
        kd.kyi[size_t(kd.pi)] = r;
        const std::string& macro = keyCell(kd.hbuf, kd.pi, c, r);
        if (!macro.empty()) kd.tbuf = macro;
        keyCell(kd.hbuf, kd.pi, c, r).clear();
        showKeyText(source, c, r);
        unmarkKey();
        unmarkRow();
        markKey();
        SetPanelFace();
    });
}

}  // namespace ptu
