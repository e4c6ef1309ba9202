// The Keyboard menu: Read fills the grid from the keyboard's memory, Write
// programs the keyboard with the grid's key texts.
#include "device/keyboard_commands.h"
#include "device/transfer.h"
#include "keydata/charset.h"
#include "keydata/default_labels.h"
#include "ui/main_window.h"

#include <QStatusBar>

namespace ptu {

bool TForm1::editing(const char*)
{
    if (st_.kd.edit_f == 0) return false;
    pf_.messageBeep();
    pf_.messageBox("Please finish your editing first!", kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    return true;
}

void TForm1::Read1Click()
{
    st_.log.printf("In Read1Click( %p ), ctrl_f=%ld \n", static_cast<void*>(this), long(ctrl_f));
    if (editing("Read")) return;
    // Ctrl is held: Ctrl+R runs the read itself when Ctrl is released.
    if (ctrl_f != 0) return;
    if (busy_) return;  // never two at once
    if (noKeyboard("Read")) return;
    busy_ = true;
    undo_.begin(st_);
    const int result = readKeyboard(st_, pf_);
    undo_.end(st_, "Read");
    refreshUndoItem();
    if (result == 0) clearMarks();
    synckeys();
    busy_ = false;
    if (result == 0) {
        fromKeyboard_ = true;
        markSaved();
        const std::string problems = problemSummary();
        statusBar()->showMessage(QString("The keyboard was read.") +
                                     (problems.empty() ? QString() : " " + QString::fromStdString(problems) + "."),
                                 problems.empty() ? 5000 : 30000);
        return;
    }
    statusBar()->showMessage("The keyboard could not be read: the key texts are as they were.", 15000);
    pf_.messageBox("The keyboard could not be read: " + transferProblem(st_, pf_, result) +
                       ".\n\nThe key texts are as they were.",
                   kAppTitle, MB_OK | MB_ICONSTOP);
}

bool TForm1::noKeyboard(const char* command)
{
    if (keyboardAttached(st_.fl)) return false;
    pf_.messageBox(noKeyboardText(st_.fl, command), kAppTitle, MB_OK | MB_ICONINFORMATION);
    return true;
}

void TForm1::Write1Click()
{
    st_.log.printf("In Write1Click( %p ), %ld \n", static_cast<void*>(this), long(ctrl_f));
    if (editing("Write")) return;
    if (ctrl_f != 0) return;
    if (busy_) return;
    if (noKeyboard("Write")) return;
    if (!confirmKeys("Write the keyboard anyway?")) return;
    busy_ = true;
    buildWriteImage(st_, pf_);  // the keys it leaves out were listed above
    TransferEnd end;
    const int result = sendWriteImage(st_, pf_, &end);
    if (result == 0) lastWritten_.assign(st_.buf.ibuf.begin(), st_.buf.ibuf.begin() + std::clamp(st_.mv.kbb_f, 0, 8192));
    synckeys();
    busy_ = false;
    if (result == 0) {
        // Changes written since the data file's Save or Open: the grid is
        // now what the keyboard holds, not what the file holds.
        fromKeyboard_ = fromKeyboard_ || !unsavedChanges().empty();
        markSaved();
        statusBar()->showMessage("The keyboard was written.", 5000);
        return;
    }
    statusBar()->showMessage("Writing the keyboard failed: write it again.", 15000);
    // A transfer that stopped at a block has changed the keyboard up to it.
    if (end.total > 0 && !end.cause.empty()) {
        pf_.messageBox(failedWriteText(end), kAppTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    pf_.messageBox("The keyboard was not written: " + transferProblem(st_, pf_, result) +
                       ".\n\nWrite it again once the keyboard can be reached.",
                   kAppTitle, MB_OK | MB_ICONSTOP);
}

}  // namespace ptu
