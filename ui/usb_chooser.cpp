#include "ui/usb_chooser.h"

#include "ui/chooser_note.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ptu {

namespace {

constexpr int kRowsPerColumn = 7;

}  // namespace

void TDialog2::setNote(const std::string& text) { showNote(Note, text); }

const char* TDialog2::caption(int i)
{
    const UsbTypeRow* t = usbTypeRow(i);
    return t ? t->caption : "";
}

TDialog2::TDialog2(State& st, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      st_(st)
{
    setWindowTitle(" Tessaral USB Programmable Keyboard");
    setModal(true);

    auto* models = new QGridLayout;
    for (int i = 0; i < kModels; ++i) {
        RadioButton[i] = new QRadioButton(caption(i), this);
        RadioButton[i]->setObjectName(QString("RadioButton%1").arg(i + 1));
        RadioButton[i]->setChecked(false);
        models->addWidget(RadioButton[i], i % kRowsPerColumn, i / kRowsPerColumn, Qt::AlignLeft);
    }

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    OKBtn->setAutoDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &TDialog2::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDialog2::CancelBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    Note = chooserNote(this);
    layout->addWidget(Note);
    layout->addLayout(models);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TDialog2::showEvent(QShowEvent* event)
{
    st_.fl.cancel_f = 1;
    QDialog::showEvent(event);
}

void TDialog2::OKBtnClick()
{
    st_.fl.cancel_f = 0;
    int chosen = -1;
    for (int i = 0; i < kModels && chosen < 0; ++i)
        if (RadioButton[i]->isChecked()) chosen = i;
    if (chosen < 0) st_.fl.cancel_f = 1;
    else st_.rg.r2a = code(chosen);
    accept();
}

// Esc and the window's close button end the same way: cancel_f stays set.
void TDialog2::CancelBtnClick() { reject(); }

}  // namespace ptu
