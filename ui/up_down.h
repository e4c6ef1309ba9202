// An up-down control bound to a number field: each step moves its position
// by one inside min..max (wrapping past either end) and writes the position
// into the field. It starts each step from the number the field holds.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QLineEdit;
class QToolButton;

namespace ptu {

// A field's text read as a whole number (blanks around it, an optional
// sign); nothing when it is not one.
std::optional<int> fieldNumber(const QString& text);

class UpDown : public QWidget {
    Q_OBJECT

public:
    UpDown(QLineEdit* field, int min, int max, int position, QWidget* parent = nullptr);

    int position() const { return position_; }
    void step(int by);

    QToolButton* Up = nullptr;
    QToolButton* Down = nullptr;

private:
    QLineEdit* field_;
    int min_, max_, position_;
};

}  // namespace ptu
