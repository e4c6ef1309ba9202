// The stripe-reader tuning dialog TAboutBox4: which tracks are read, the
// leading and ending codes, the inter-character delay, ALT-num emulation and
// the enable bit in r28. It edits a working copy (magwork, r28save) and
// copies it into magcfg and r28 on OK; the keyboard gets them with the next
// Write.
#pragma once

#include "keydata/state.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ptu {

class TAboutBox4 : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox4(State& st, QWidget* parent = nullptr);

    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6;
    // Edit1 .. Edit4: the three leading codes and the ending code; Edit5: the delay.
    std::array<QLineEdit*, 5> Edit{};
    std::array<QLabel*, 5> Label{};
    QPushButton *OKButton, *Button1;

    std::array<uint8_t, 7> magwork{};
    uint8_t r28save = 0;

    // The delay field's rule: the field mapped to 0..32, its number stored
    // into magwork byte 6 and returned.
    int delayRule();
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    State& st_;
};

}  // namespace ptu
