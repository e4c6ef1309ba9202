#include "ui/key_panel.h"

#include "ui/colours.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace ptu {

namespace {

// How long a hint stays up.
constexpr int kHintShownMs = 9000;

}  // namespace

KeyPanel::KeyPanel(QWidget* parent, KeyPanelHandlers* handlers, int c, int r)
    : QWidget(parent), col(c), row(r), handlers_(handlers), face_{clBtnFace, false, false, clBlack}
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
}

void KeyPanel::setCaption(const QString& text)
{
    if (text == caption_) return;
    caption_ = text;
    update();
}

void KeyPanel::setHint(const QString& text)
{
    hint_ = text;
    setAccessibleDescription(text);
}

void KeyPanel::setFace(const Face& f)
{
    if (f == face_) return;
    face_ = f;
    update();
}

void KeyPanel::setColour(Colour c)
{
    Face f = face_;
    f.colour = c;
    setFace(f);
}

void KeyPanel::setCaptionFont(bool bold, bool italic, Colour text)
{
    setFace({face_.colour, bold, italic, text});
}

void KeyPanel::setMarked(bool on)
{
    if (on == marked_) return;
    marked_ = on;
    update();
}

void KeyPanel::setTested(bool on)
{
    if (on == tested_) return;
    tested_ = on;
    update();
}

void KeyPanel::setProblem(const QString& why)
{
    if (why == problem_) return;
    problem_ = why;
    update();
}

bool KeyPanel::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        const QString tip = problem_.isEmpty() ? hint_ : hint_ + "\n\n\u26A0 " + problem_;
        if (tip.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(he->globalPos(), tip, this, rect(), kHintShownMs);
        return true;
    }
    return QWidget::event(e);
}

void KeyPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect r = rect();
    p.fillRect(r, toQColor(face_.colour, pal));
    // A raised bevel of one pixel.
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (marked_) {
        // Red between black and white: seen on every face, the current
        // key's fuchsia and a red one included.
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(r.adjusted(1, 1, -1, -1));
        p.setPen(QPen(Qt::red, 3));
        p.drawRect(r.adjusted(3, 3, -4, -4));
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(r.adjusted(5, 5, -6, -6));
    }
    if (!problem_.isEmpty()) {
        // An orange corner at the top right with a black "!", on every face.
        const int side = std::max(9, std::min(r.width(), r.height()) / 2);
        const QPoint tr = r.topRight();
        const QPolygon corner({tr, tr - QPoint(side, 0), tr + QPoint(0, side)});
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 140, 0));
        p.drawPolygon(corner);
        p.setBrush(Qt::NoBrush);
        QFont bang = font();
        bang.setBold(true);
        bang.setPixelSize(std::max(7, side / 2 + 1));
        p.setFont(bang);
        p.drawText(QRect(tr.x() - side / 2, tr.y(), side / 2, side / 2 + 1), Qt::AlignCenter, "!");
    }
    if (tested_) {
        // A green tick with a white edge at the bottom right, on every face.
        const int s = std::max(8, std::min(r.width(), r.height()) / 2);
        const QPoint o = r.bottomRight() - QPoint(s, s);
        const QPolygon tick({o + QPoint(s / 8, s / 2), o + QPoint(s * 3 / 8, s * 7 / 8), o + QPoint(s * 7 / 8, s / 8)});
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(tick);
        p.setPen(QPen(QColor(0, 140, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(tick);
    }
    if (caption_.isEmpty()) return;
    QFont f = font();
    f.setBold(face_.bold);
    f.setItalic(face_.italic);
    p.setFont(f);
    p.setPen(toQColor(face_.text, pal));
    p.drawText(r.adjusted(3, 1, -2, -1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
}

void KeyPanel::mousePressEvent(QMouseEvent* e)
{
    handlers_->aKeyMouseDown(this, e->button(), false, e->position().toPoint());
}
void KeyPanel::mouseDoubleClickEvent(QMouseEvent* e)
{
    handlers_->aKeyMouseDown(this, e->button(), true, e->position().toPoint());
}
void KeyPanel::mouseMoveEvent(QMouseEvent* e) { handlers_->aKeyMouseMove(this, e->position().toPoint()); }
void KeyPanel::mouseReleaseEvent(QMouseEvent* e) { handlers_->aKeyMouseUp(this, e->button()); }

KeyPanel* draggedPanel(const QDropEvent* event) { return qobject_cast<KeyPanel*>(event->source()); }

void KeyPanel::dragEnterEvent(QDragEnterEvent* e)
{
    if (handlers_->aKeyDragOver(this, draggedPanel(e))) e->acceptProposedAction();
    else e->ignore();
}

void KeyPanel::dragMoveEvent(QDragMoveEvent* e)
{
    if (handlers_->aKeyDragOver(this, draggedPanel(e))) e->acceptProposedAction();
    else e->ignore();
}

void KeyPanel::dropEvent(QDropEvent* e)
{
    e->acceptProposedAction();
    handlers_->aKeyDragDrop(this, draggedPanel(e));
}

void KeyPanel::contextMenuEvent(QContextMenuEvent* e)
{
    if (e->reason() != QContextMenuEvent::Mouse) handlers_->panelContextMenu(this, e->globalPos());
}

}  // namespace ptu
