// The two model choosers of the port-driver road: the memory-type chooser
// TAboutBox3 and the driver model chooser TDialog1. Clicking a model sets
// kbt_f at once; OK keeps what kbt_f holds; Cancel (Esc) sets cancel_f.
#pragma once

#include "device/model_decision.h"
#include "keydata/state.h"
#include "platform/platform.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace ptu {

class TAboutBox3 : public QDialog {
    Q_OBJECT

public:
    TAboutBox3(State& st, Platform& pf, QWidget* parent = nullptr);

    // RadioButton1 .. RadioButton5: models 0 .. 4.
    std::array<QRadioButton*, 5> RadioButton{};
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void CancelBtnClick();
    // Why the keyboard did not name its model; "" hides the line.
    void setNote(const std::string& text);
    QLabel* Note = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void reject() override;

private:
    State& st_;
    Platform& pf_;
};

class TDialog1 : public QDialog {
    Q_OBJECT

public:
    explicit TDialog1(State& st, QWidget* parent = nullptr);

    // Captions and the number of buttons offered, as the model decision
    // prepares them; the first button is selected and focused.
    void setChoices(const DriverChoice& choice);
    // The model a button stands for in the present family.
    int modelOf(int button) const;

    std::array<QRadioButton*, 4> RadioButton{};
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void CancelBtnClick();
    void setNote(const std::string& text);
    QLabel* Note = nullptr;

protected:
    void reject() override;

private:
    State& st_;
};

// The choosers as the model decision calls them: shown modally.
ModelChoosers modalChoosers(TAboutBox3& memoryType, TDialog1& driverModel);

}  // namespace ptu
