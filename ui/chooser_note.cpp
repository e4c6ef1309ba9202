#include "ui/chooser_note.h"

#include <QDialog>
#include <QLabel>

namespace ptu {

QLabel* chooserNote(QDialog* chooser)
{
    auto* note = new QLabel(chooser);
    note->setObjectName("Note");
    note->setWordWrap(true);
    note->setFixedWidth(360);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note->hide();
    return note;
}

void showNote(QLabel* note, const std::string& text)
{
    note->setText(QString::fromStdString(text));
    note->setVisible(!text.empty());
}

}  // namespace ptu
