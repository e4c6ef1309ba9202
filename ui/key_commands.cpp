// Keys in: the key test of the Keyboard menu and the key recording of the
// key-text boxes, started and ended here.
#include "ui/key_recording.h"
#include "ui/key_test_mode.h"
#include "ui/main_window.h"
#include "ui/row_box.h"

#include <QAction>

namespace ptu {

void TForm1::TestKeys1Click()
{
    if (keyTest_ || busy_) return;
    // The boxes get no keys during the test: the typing is stored first.
    commitEditing();
    Edit1->setFocus();
    keyTest_ = std::make_unique<KeyTestMode>(*this, st_, pf_, [this] {
        keyTest_->offerReport();
        keyTest_.reset();
        Edit1->setFocus();
    });
}

void TForm1::startRecording(RowBox* box)
{
    if (recording_ || keyTest_ || !box || !box->isText) return;
    if (!box->hasFocus()) box->setFocus();
    const bool pauses = RecordPauses1 && RecordPauses1->isEnabled() && RecordPauses1->isChecked();
    recording_ = std::make_unique<KeyRecording>(*this, st_, box, pauses, [this, box] {
        recording_.reset();
        if (box->isVisible()) box->setFocus();
    });
}

}  // namespace ptu
