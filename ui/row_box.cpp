#include "ui/row_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>

#include <algorithm>

namespace ptu {

QString firstLine(const QString& text)
{
    const qsizetype end = text.indexOf(QRegularExpression("[\\r\\n\\x{2028}\\x{2029}]"));
    return end < 0 ? text : text.left(end);
}

void RowBox::pasteText(const QString& text) { insertCounted(firstLine(text)); }

void RowBox::mouseReleaseEvent(QMouseEvent* e)
{
    // The X11 paste click: the selection's first line, as Ctrl+V pastes.
    if (e->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() && !isReadOnly()) {
        deselect();
        pasteText(QGuiApplication::clipboard()->text(QClipboard::Selection));
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void RowBox::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Paste) && !isReadOnly()) {
        pasteText(QGuiApplication::clipboard()->text());
        e->accept();
        return;
    }
    // What the key would put in: its character.
    QString incoming = e->text();
    if (!incoming.isEmpty() && !incoming.at(0).isPrint()) incoming.clear();
    const qsizetype kept = text().size() - selectedText().size();
    const int refusedBefore = refused;
    QLineEdit::keyPressEvent(e);
    if (incoming.isEmpty()) return;
    countDropped(incoming.size(), kept, refusedBefore);
}

void RowBox::insertCounted(const QString& incoming)
{
    const qsizetype kept = text().size() - selectedText().size();
    const int refusedBefore = refused;
    insert(incoming);
    countDropped(incoming.size(), kept, refusedBefore);
}

void RowBox::countDropped(qsizetype incoming, qsizetype kept, int refusedBefore)
{
    const qsizetype inserted = std::max<qsizetype>(0, text().size() - kept);
    dropped += int(std::max<qsizetype>(0, incoming - inserted - (refused - refusedBefore)));
}

}  // namespace ptu
