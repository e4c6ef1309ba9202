#include "ui/about_box.h"

#include "ui/colours.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace ptu {

namespace {

// The picture: a small keyboard of key panels, the current key marked.
QPixmap keyboardPicture()
{
    QPixmap pm(96, 56);
    pm.fill(toQColor(clTeal));
    QPainter p(&pm);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 6; ++c) {
            const QRect key(6 + c * 14, 6 + r * 11, 12, 9);
            p.fillRect(key, (r == 1 && c == 2) ? toQColor(clFuchsia) : QColor(0xD4, 0xD0, 0xC8));
            p.setPen(Qt::white);
            p.drawLine(key.topLeft(), key.topRight());
            p.setPen(Qt::darkGray);
            p.drawLine(key.bottomLeft(), key.bottomRight());
        }
    }
    return pm;
}

}  // namespace

const char* versionLabel(const Flags& f)
{
    if (f.usb_f) return "Version 1.07";
    if (f.pad_f) return "Version 4.14";
    if (f.m60_f) return "Version 6.07";
    if (f.capj_f) return "Version 3.03";
    if (f.capm_f) return "Version 7.03";
    if (f.m84_f) return "Version 8.09";
    if (f.m17_f) return "Version 9.04";
    return "Version 5.17";
}

TAboutBox::TAboutBox(const Flags& f, QWidget* parent) : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("Thank You!");
    setModal(true);
    auto* picture = new QLabel(this);
    picture->setPixmap(keyboardPicture());
    picture->setAlignment(Qt::AlignCenter);
    ProductName = new QLabel("Tessaral Programmable Keyboard", this);
    ProductName->setAlignment(Qt::AlignCenter);
    Version = new QLabel(versionLabel(f), this);
    Version->setObjectName("Version");
    Version->setAlignment(Qt::AlignCenter);
    ProgramVersion = new QLabel(QString("ptu ") + PTU_VERSION, this);
    ProgramVersion->setObjectName("ProgramVersion");
    ProgramVersion->setAlignment(Qt::AlignCenter);
    OKButton = new QPushButton("OK", this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(ProductName);
    layout->addWidget(Version);
    layout->addWidget(ProgramVersion);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::execOver(QWidget* over)
{
    QWidget* owner = parentWidget();
    const bool moved = over && over != owner;
    if (moved) setParent(over, windowFlags());
    exec();
    if (moved) setParent(owner, windowFlags());
}

}  // namespace ptu
