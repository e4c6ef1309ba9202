#include "ui/title_room.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace ptu {

namespace {

// Room beside the title for the window's icon and its buttons.
constexpr int kTitleBarExtra = 150;

}  // namespace

void makeRoomForTitle(QWidget* window)
{
    if (!window || !window->isWindow() || !qobject_cast<QDialog*>(window) || window->windowTitle().isEmpty()) return;
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(window->windowTitle()) + kTitleBarExtra;
    if (window->sizeHint().width() >= needed) return;
    // A message box and a dialog of fixed size take their width from the
    // layout: a spacer there as wide as the title; other dialogs a minimum.
    QLayout* layout = window->layout();
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      std::max(1, grid->columnCount()));
    } else if (layout && layout->sizeConstraint() == QLayout::SetFixedSize) {
        layout->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed));
    } else {
        window->setMinimumWidth(std::max(window->minimumWidth(), needed));
    }
}

}  // namespace ptu
