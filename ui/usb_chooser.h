// The USB model chooser TDialog2: the user names the USB keyboard when its
// library cannot report the model. Fourteen models, none chosen at start;
// OK stores the chosen model's code into r2a, and anything but OK with a
// model chosen leaves cancel_f set.
#pragma once

#include "keydata/models.h"
#include "keydata/state.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QPushButton;
class QLabel;
class QRadioButton;

namespace ptu {

class TDialog2 : public QDialog {
    Q_OBJECT

public:
    static constexpr int kModels = kUsbTypeCount;

    explicit TDialog2(State& st, QWidget* parent = nullptr);

    // The caption of the model at list position i (0..13) and the code OK
    // stores for it.
    static const char* caption(int i);
    static uint8_t code(int i) { return uint8_t(0x60 + i); }

    // RadioButton1 .. RadioButton14 in list order.
    std::array<QRadioButton*, kModels> RadioButton{};
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void OKBtnClick();
    void CancelBtnClick();
    // Why the model is asked (the USB keyboard could not be opened); "" hides the line.
    void setNote(const std::string& text);
    QLabel* Note = nullptr;

protected:
    // Showing the chooser counts as giving up until OK names a model.
    void showEvent(QShowEvent* event) override;

private:
    State& st_;
};

}  // namespace ptu
