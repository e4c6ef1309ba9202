#include "ui/msr_dialog.h"

#include "keydata/charset.h"
#include "ui/up_down.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

namespace ptu {

namespace {

constexpr const char* kLabels[5] = {"MSR Track 1 Leading Code", "MSR Track 2 Leading Code",
                                    "MSR Track 3 Leading Code", "MSR Ending Code", "Intercharacter Delay Time"};

void setBit(uint8_t& b, uint8_t bit, bool on) { b = on ? uint8_t(b | bit) : uint8_t(b & ~bit); }

// A code field takes only characters the keyboard's character set has a
// byte for, as the key boxes do; any other is refused as it is typed or
// pasted, never stored as "?".
class ByteCharacter : public QValidator {
public:
    ByteCharacter(const ptu::State& st, QObject* parent) : QValidator(parent), st_(st) {}
    State validate(QString& input, int&) const override
    {
        for (char32_t c : input.toUcs4())
            if (!keyByte(st_.loc.tset, c)) return Invalid;
        return Acceptable;
    }

private:
    const ptu::State& st_;
};

// What a code field shows for its byte: the character it types with the
// keyboard's set, nothing for byte 0 (a field with an invisible character
// in it would refuse the one typed).
QString codeText(const ptu::State& st, uint8_t byte)
{
    return byte == 0 ? QString() : QString::fromUcs4(std::u32string(1, screenChar(st.loc.tset, byte)).c_str(), 1);
}

}  // namespace

TAboutBox4::TAboutBox4(State& st, QWidget* parent) : QDialog(parent), st_(st)
{
    setObjectName("AboutBox4");
    setWindowTitle("Tessaral Keyboard MSR Tunning");
    setModal(true);
    CheckBox6 = new QCheckBox("Enable MSR Tuning", this);
    CheckBox1 = new QCheckBox("Use ALT-num emulation", this);
    CheckBox2 = new QCheckBox("Enable MSR Track 1", this);
    CheckBox3 = new QCheckBox("Enable MSR Track 2", this);
    CheckBox4 = new QCheckBox("Enable MSR Track 3", this);
    CheckBox5 = new QCheckBox("MSR will send the leading code", this);
    for (QCheckBox* c : {CheckBox6, CheckBox2, CheckBox3, CheckBox4, CheckBox5}) c->setChecked(true);

    // Each click writes its bit into the working copy at once.
    connect(CheckBox6, &QCheckBox::clicked, this, [this](bool on) { setBit(r28save, 0x02, on); });
    connect(CheckBox1, &QCheckBox::clicked, this, [this](bool on) { setBit(magwork[0], 0x80, on); });
    connect(CheckBox2, &QCheckBox::clicked, this, [this](bool on) { setBit(magwork[1], 0x01, !on); });
    connect(CheckBox3, &QCheckBox::clicked, this, [this](bool on) { setBit(magwork[1], 0x02, !on); });
    connect(CheckBox4, &QCheckBox::clicked, this, [this](bool on) { setBit(magwork[1], 0x04, !on); });
    connect(CheckBox5, &QCheckBox::clicked, this, [this](bool on) { setBit(magwork[1], 0x08, on); });

    const char* initial[5] = {"%", ";", ";", "?", "1"};
    auto* form = new QFormLayout;
    for (int i = 0; i < 5; ++i) {
        Edit[size_t(i)] = new QLineEdit(initial[i], this);
        Edit[size_t(i)]->setObjectName(QString("Edit%1").arg(i + 1));
        Edit[size_t(i)]->setMaxLength(i < 4 ? 1 : 2);
        if (i < 4) Edit[size_t(i)]->setValidator(new ByteCharacter(st_, Edit[size_t(i)]));
        Edit[size_t(i)]->setFixedWidth(48);
        Label[size_t(i)] = new QLabel(kLabels[i], this);
        Label[size_t(i)]->setBuddy(Edit[size_t(i)]);
        Label[size_t(i)]->installEventFilter(this);
        form->addRow(Label[size_t(i)], Edit[size_t(i)]);
    }
    // A code field that holds a character gives it to its byte; an emptied
    // field leaves the byte.
    for (int i = 0; i < 4; ++i) {
        connect(Edit[size_t(i)], &QLineEdit::textChanged, this, [this, i](const QString& t) {
            const QList<uint> chars = t.toUcs4();
            if (chars.isEmpty()) return;
            if (const std::optional<uint8_t> b = keyByte(st_.loc.tset, char32_t(chars.front())))
                magwork[size_t(2 + i)] = *b;
        });
    }
    connect(Edit[4], &QLineEdit::editingFinished, this, [this] { delayRule(); });
    connect(Edit[4], &QLineEdit::returnPressed, this, [this] { Edit[4]->setText(QString::number(delayRule())); });

    OKButton = new QPushButton("OK", this);
    Button1 = new QPushButton("Cancel", this);
    for (QPushButton* b : {OKButton, Button1}) b->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox4::OKButtonClick);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* c : {CheckBox6, CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5}) layout->addWidget(c);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox4::showEvent(QShowEvent* event)
{
    const std::array<uint8_t, 7>& m = st_.kd.magcfg;
    CheckBox2->setChecked(!(m[1] & 0x01));
    CheckBox3->setChecked(!(m[1] & 0x02));
    CheckBox4->setChecked(!(m[1] & 0x04));
    CheckBox5->setChecked(m[1] & 0x08);
    CheckBox1->setChecked(m[0] & 0x80);
    CheckBox6->setChecked(st_.rg.r28 & 0x02);
    for (int i = 0; i < 4; ++i) Edit[size_t(i)]->setText(codeText(st_, m[size_t(2 + i)]));
    // The field shows what OK would store: a delay above 32 becomes 0.
    Edit[4]->setText(QString::number(m[6] > 32 ? 0 : m[6]));
    // Last, so nothing the loading set off reaches the working copies.
    magwork = m;
    r28save = st_.rg.r28;
    QDialog::showEvent(event);
}

bool TAboutBox4::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 5; ++i)
            if (watched == Label[size_t(i)]) Edit[size_t(i)]->setFocus(Qt::MouseFocusReason);
    }
    return QDialog::eventFilter(watched, event);
}

// Above 32 (or not a number) the field becomes "0"; then below 0, "32".
int TAboutBox4::delayRule()
{
    if (fieldNumber(Edit[4]->text()).value_or(33) > 32) Edit[4]->setText("0");
    if (fieldNumber(Edit[4]->text()).value_or(-1) < 0) Edit[4]->setText("32");
    const int n = fieldNumber(Edit[4]->text()).value_or(0);
    magwork[6] = uint8_t(n);
    return n;
}

void TAboutBox4::OKButtonClick()
{
    st_.kd.magcfg = magwork;
    st_.kd.magcfg[6] = uint8_t(delayRule());
    st_.rg.r28 = r28save;
    accept();
}

}  // namespace ptu
