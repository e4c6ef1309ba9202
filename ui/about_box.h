// The About box TAboutBox: a picture, the product name and a version label
// that depends on the keyboard family the run was started for.
#pragma once

#include "keydata/state.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace ptu {

// The version label of the keyboard family named by the switch flags.
const char* versionLabel(const Flags& f);

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(const Flags& f, QWidget* parent = nullptr);

    // Shows the box modally in front of `over` (its owner when null), so
    // that the window it was opened from stays in front of the others.
    void execOver(QWidget* over);

    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;         // the keyboard family's version
    QLabel* ProgramVersion = nullptr;  // the program's, as "ptu --version" and the package name it
    QPushButton* OKButton = nullptr;
};

}  // namespace ptu
