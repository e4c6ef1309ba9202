#include "ui/up_down.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>

namespace ptu {

std::optional<int> fieldNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 9) return std::nullopt;
    bool ok = false;
    const int n = t.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return n;
}

UpDown::UpDown(QLineEdit* field, int min, int max, int position, QWidget* parent)
    : QWidget(parent), field_(field), min_(min), max_(max), position_(position)
{
    Up = new QToolButton(this);
    Up->setArrowType(Qt::UpArrow);
    Down = new QToolButton(this);
    Down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {Up, Down}) {
        b->setAutoRepeat(true);
        b->setFixedSize(18, 12);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(Up, &QToolButton::clicked, this, [this] { step(1); });
    connect(Down, &QToolButton::clicked, this, [this] { step(-1); });
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(Up);
    l->addWidget(Down);
}

void UpDown::step(int by)
{
    if (const auto n = fieldNumber(field_->text()); n && *n >= min_ && *n <= max_) position_ = *n;
    position_ += by;
    if (position_ > max_) position_ = min_;
    if (position_ < min_) position_ = max_;
    field_->setText(QString::number(position_));
}

}  // namespace ptu
