// A row box below the key grid: a key-name box (kpe) or a key-text box (ked)
// of one grid row. Tag is the row.
#pragma once

#include <QLineEdit>

namespace ptu {

// What a key-text box takes by typing. A longer text read from the keyboard
// or a file is shown whole (the box grows its limit for it) and kept whole
// unless it is changed.
constexpr int kKeyTextBoxMax = 256;

class RowBox : public QLineEdit {
public:
    RowBox(QWidget* parent, int row, bool keyText) : QLineEdit(parent), Tag(row), isText(keyText) {}
    const int Tag;
    const bool isText;  // a key-text box (ked), else a key-name box (kpe)
    // Characters typed or pasted that the box had no room for since its text
    // was last stored or refilled.
    int dropped = 0;
    // Characters the window took out again as it refused them (they have
    // no byte in the locale set): not counted as dropped for room.
    int refused = 0;
    // Puts a text in at the caret (a drop), counting what has no room.
    void insertCounted(const QString& incoming);

    // Puts `text` in place of the selection as a paste does: its first
    // line only, counting what found no room.
    void pasteText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void countDropped(qsizetype incoming, qsizetype kept, int refusedBefore);
};

// The text up to its first line break (a key text is one line: a line break
// would reach the keyboard as a key code).
QString firstLine(const QString& text);

}  // namespace ptu
