#include "ui/config_dialog.h"

#include "ui/up_down.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace ptu {

namespace {

void setBit(uint8_t& reg, uint8_t bit, bool on) { reg = on ? uint8_t(reg | bit) : uint8_t(reg & ~bit); }

}  // namespace

TAboutBox2::TAboutBox2(State& st, Platform& pf, QWidget* parent) : QDialog(parent), st_(st), pf_(pf)
{
    setObjectName("AboutBox2");
    setWindowTitle("Tessaral Keyboard Configurations");
    setModal(true);
    CheckBox2 = new QCheckBox("Beep while a key pressed", this);
    CheckBox2->setChecked(true);
    CheckBox3 = new QCheckBox("Beep if a key is undefined", this);
    CheckBox4 = new QCheckBox("Use ALT-num to generate ASCII codes", this);
    CheckBox5 = new QCheckBox("Enable Hot-Key function", this);
    CheckBox1 = new QCheckBox("Enable Typematic Feature", this);
    CheckBox6 = new QCheckBox("Use commands to drive buzzer", this);

    Edit1 = new QLineEdit("4", this);
    Edit1->setMaxLength(3);
    Edit1->setFixedWidth(48);
    UpDown1 = new UpDown(Edit1, 1, 140, 4, this);
    Label1 = new QLabel("InterCharacter Delay Time (ms)", this);
    Label1->setBuddy(Edit1);
    Edit2 = new QLineEdit("16", this);
    Edit2->setMaxLength(3);
    Edit2->setFixedWidth(48);
    UpDown2 = new UpDown(Edit2, 0, 250, 16, this);
    Label2 = new QLabel("Key-Lock Anser-Back Delay", this);
    Label2->setBuddy(Edit2);
    connect(Edit1, &QLineEdit::textChanged, this, &TAboutBox2::Edit1Change);
    connect(Edit2, &QLineEdit::textChanged, this, &TAboutBox2::Edit2Change);

    OKButton = new QPushButton("OK", this);
    OKButton->setDefault(true);
    Button1 = new QPushButton("Cancel", this);
    Button1->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox2::OKButtonClick);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(Edit1, 0, 0);
    fields->addWidget(UpDown1, 0, 1);
    fields->addWidget(Label1, 0, 2);
    fields->addWidget(Edit2, 1, 0);
    fields->addWidget(UpDown2, 1, 1);
    fields->addWidget(Label2, 1, 2);
    fields->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* c : {CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox1, CheckBox6}) layout->addWidget(c);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Which controls this keyboard offers.
    const Flags& f = st_.fl;
    if (f.usb_f) {
        for (QCheckBox* c : {CheckBox4, CheckBox5, CheckBox6}) c->setEnabled(false);
    } else {
        if (f.pad_f || f.m60_f || f.m17_f) {
            for (QWidget* w : std::initializer_list<QWidget*>{CheckBox4, CheckBox5, Edit2, Label2, UpDown2})
                w->setEnabled(false);
        }
        if (f.capj_f) CheckBox5->setEnabled(false);
        if (!f.m17_f) CheckBox6->setEnabled(false);
    }
    st_.log.printf(" config form created. \n");
}

void TAboutBox2::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TAboutBox2::FormShow()
{
    st_.log.printf(" config form show at %ld. \n", pf_.now());
    Registers& rg = st_.rg;
    const Flags& f = st_.fl;
    if (f.usb_f) {
        CheckBox2->setChecked(rg.r28 & 0x01);
        CheckBox3->setChecked(rg.r28 & 0x02);
        CheckBox1->setChecked(rg.r28 & 0x04);
        Edit1->setText(QString::number(rg.r27));
        Edit2->setText(QString::number(rg.ldt));
        return;
    }
    CheckBox2->setChecked(rg.r28 & 0x40);
    CheckBox3->setChecked(!(rg.r28 & 0x08));
    CheckBox4->setChecked(rg.r28 & 0x01);
    CheckBox5->setChecked(rg.r28 & 0x80);
    if (rg.r27 == 0) rg.r27 = 1;
    Edit1->setText(QString::number(rg.r27));
    Edit2->setText(QString::number(rg.ldt));
    const bool typematic = f.m84_f || f.m70_f;
    if (!typematic) CheckBox1->setEnabled(false);
    else CheckBox1->setChecked(!(rg.r28 & 0x20));
    if (typematic && rg.r2e == 0x64) {
        CheckBox5->setChecked(false);
        CheckBox5->setEnabled(false);
    }
    if (f.m17_f) CheckBox6->setChecked(rg.r28 & 0x10);
    if (f.pad_f || f.m60_f || f.m17_f) {
        rg.ldt = 16;
        Edit2->setText("16");
    }
}

// Numbers above 140 become "1", then numbers below 1 "140"; text that is no
// number is left alone.
void TAboutBox2::Edit1Change()
{
    if (changing_) return;
    changing_ = true;
    if (fieldNumber(Edit1->text()).value_or(0) > 140) Edit1->setText("1");
    if (fieldNumber(Edit1->text()).value_or(140) < 1) Edit1->setText("140");
    changing_ = false;
}

// Numbers above 250 become "0", then numbers below 0 "250".
void TAboutBox2::Edit2Change()
{
    if (changing_) return;
    changing_ = true;
    if (fieldNumber(Edit2->text()).value_or(0) > 250) Edit2->setText("0");
    if (fieldNumber(Edit2->text()).value_or(250) < 0) Edit2->setText("250");
    changing_ = false;
}

void TAboutBox2::OKButtonClick()
{
    OKButton->setEnabled(false);
    Registers& rg = st_.rg;
    const Flags& f = st_.fl;
    const bool beep = CheckBox2->isChecked();
    if (f.usb_f) {
        setBit(rg.r28, 0x01, beep);
        setBit(rg.r28, 0x02, CheckBox3->isChecked());
        setBit(rg.r28, 0x04, CheckBox1->isChecked());
    } else {
        setBit(rg.r28, 0x40, beep);
        setBit(rg.r28, 0x08, !CheckBox3->isChecked());
        setBit(rg.r28, 0x01, CheckBox4->isChecked());
        setBit(rg.r28, 0x80, CheckBox5->isChecked());
        setBit(rg.r28, 0x20, !CheckBox1->isChecked());
        if (f.m17_f) setBit(rg.r28, 0x10, CheckBox6->isChecked());
    }
    setBit(rg.r29, 0x80, !beep);
    rg.r27 = uint8_t(std::clamp(fieldNumber(Edit1->text()).value_or(4), 1, 140));
    rg.ldt = uint8_t(std::clamp(fieldNumber(Edit2->text()).value_or(16), 0, 250));
    pf_.messageBox(" After writing data to the keyboard, \n please unplug and replug in the keyboard to activate some "
                   "features!",
                   "Tessaral Programmable POS keyboard manager", MB_OK);
    OKButton->setEnabled(true);
    accept();
}

}  // namespace ptu
