#include "ui/row_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

namespace ptu {

void RowBox::keyPressEvent(QKeyEvent* e)
{
    // What the key would put in: its character, or the clipboard's text.
    QString incoming = e->matches(QKeySequence::Paste) ? QGuiApplication::clipboard()->text() : e->text();
    if (!incoming.isEmpty() && !incoming.at(0).isPrint() && !e->matches(QKeySequence::Paste)) incoming.clear();
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
