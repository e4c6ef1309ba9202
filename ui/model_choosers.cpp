#include "ui/model_choosers.h"

#include "keydata/models.h"
#include "ui/chooser_note.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ptu {

namespace {

// Models behind the driver model chooser's buttons: large family (m60_f), small family.
constexpr int kLargeModels[4] = {7, 8, 8, 8};
constexpr int kSmallModels[4] = {5, 6, 11, 12};

// OK and Cancel under a chooser's content.
QHBoxLayout* okCancel(QDialog* d, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton("OK", d);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    cancel = new QPushButton("Cancel", d);
    cancel->setObjectName("CancelBtn");
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, d, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace

TAboutBox3::TAboutBox3(State& st, Platform& pf, QWidget* parent) : QDialog(parent), st_(st), pf_(pf)
{
    setObjectName("AboutBox3");
    setWindowTitle("Tessaral Programmable Keyboard");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    Note = chooserNote(this);
    layout->addWidget(Note);
    layout->addWidget(new QLabel("Choose your keyboard type:", this));
    for (int i = 0; i < 5; ++i) {
        RadioButton[size_t(i)] = new QRadioButton(modelRow(i).name, this);  // models 0..4
        RadioButton[size_t(i)]->setObjectName(QString("RadioButton%1").arg(i + 1));
        layout->addWidget(RadioButton[size_t(i)]);
        connect(RadioButton[size_t(i)], &QRadioButton::clicked, this, [this, i] { st_.mv.kbt_f = i; });
    }
    RadioButton[4]->setChecked(true);
    layout->addLayout(okCancel(this, OKBtn, CancelBtn));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    pf_.centreMouse();
}

bool TAboutBox3::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) pf_.centreMouse();
    return QDialog::event(event);
}

void TAboutBox3::CancelBtnClick() { reject(); }

void TAboutBox3::setNote(const std::string& text) { showNote(Note, text); }

void TAboutBox3::reject()
{
    st_.fl.cancel_f = 1;
    QDialog::reject();
}

TDialog1::TDialog1(State& st, QWidget* parent) : QDialog(parent), st_(st)
{
    setObjectName("Dialog1");
    setWindowTitle(" Tessaral Programmable Keyboard");
    setModal(true);
    auto* frame = new QGroupBox("Choose your keyboard type:", this);
    auto* buttons = new QVBoxLayout(frame);
    constexpr const char* kDesignCaptions[4] = {"QX-11", "QX-21", "QX-22", "QX-31"};
    for (int i = 0; i < 4; ++i) {
        RadioButton[size_t(i)] = new QRadioButton(kDesignCaptions[i], frame);
        RadioButton[size_t(i)]->setObjectName(QString("RadioButton%1").arg(i + 1));
        buttons->addWidget(RadioButton[size_t(i)]);
        connect(RadioButton[size_t(i)], &QRadioButton::clicked, this, [this, i] { st_.mv.kbt_f = modelOf(i); });
    }
    RadioButton[0]->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    Note = chooserNote(this);
    layout->addWidget(Note);
    layout->addWidget(frame);
    layout->addLayout(okCancel(this, OKBtn, CancelBtn));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TDialog1::modelOf(int button) const
{
    if (button < 0 || button > 3) return st_.mv.kbt_f;
    return st_.fl.m60_f ? kLargeModels[button] : kSmallModels[button];
}

void TDialog1::setChoices(const DriverChoice& choice)
{
    for (int i = 0; i < 4; ++i) {
        QRadioButton* b = RadioButton[size_t(i)];
        b->setText(choice.captions[size_t(i)]);
        const bool offered = i < choice.shown;
        b->setEnabled(offered);
        b->setVisible(offered);
    }
    RadioButton[0]->setChecked(true);
    RadioButton[0]->setFocus();
}

void TDialog1::CancelBtnClick() { reject(); }

void TDialog1::setNote(const std::string& text) { showNote(Note, text); }

void TDialog1::reject()
{
    st_.fl.cancel_f = 1;
    QDialog::reject();
}

ModelChoosers modalChoosers(TAboutBox3& memoryType, TDialog1& driverModel)
{
    ModelChoosers c;
    c.memoryType = [&memoryType](State&) { memoryType.exec(); };
    c.driverModel = [&driverModel](State&, const DriverChoice& choice) {
        driverModel.setChoices(choice);
        driverModel.exec();
    };
    c.explain = [&memoryType, &driverModel](const std::string& text) {
        memoryType.setNote(text);
        driverModel.setNote(text);
    };
    return c;
}

}  // namespace ptu
