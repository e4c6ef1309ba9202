// The configuration dialog TAboutBox2: beeps, ALT-num, the hot key,
// typematic, the buzzer, the inter-character delay and the key-lock
// answer-back delay. It edits the program's copies of r27, r28, r29 and ldt;
// the keyboard gets them with the next Write.
#pragma once

#include "keydata/state.h"
#include "platform/platform.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ptu {

class UpDown;

class TAboutBox2 : public QDialog {
    Q_OBJECT

public:
    TAboutBox2(State& st, Platform& pf, QWidget* parent = nullptr);

    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6;
    QLineEdit *Edit1, *Edit2;
    UpDown *UpDown1, *UpDown2;
    QLabel *Label1, *Label2;
    QPushButton *OKButton, *Button1;

    // Loads the controls from the registers (every opening).
    void FormShow();
    void OKButtonClick();
    // The two number fields' change rules.
    void Edit1Change();
    void Edit2Change();

protected:
    void showEvent(QShowEvent* event) override;

private:
    State& st_;
    Platform& pf_;
    bool changing_ = false;
};

}  // namespace ptu
