// A row box below the key grid: a key-name box (kpe) or a key-text box (ked)
// of one grid row. Tag is the row.
#pragma once

#include <QLineEdit>

namespace ptu {

class RowBox : public QLineEdit {
public:
    RowBox(QWidget* parent, int row) : QLineEdit(parent), Tag(row) {}
    const int Tag;
};

}  // namespace ptu
