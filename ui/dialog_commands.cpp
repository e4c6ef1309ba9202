// The Config and MSR commands: the configuration dialog, and the stripe tool
// beside the program or, without it, the stripe-reader tuning dialog.
#include "ui/config_dialog.h"
#include "ui/main_window.h"
#include "ui/msr_dialog.h"

#include <QLineEdit>

#include <filesystem>
#include <system_error>

namespace ptu {

void TForm1::Config1Click()
{
    if (busy_) return;
    if (AboutBox2) AboutBox2->exec();
    showDataSource();
    Edit1->setFocus();
}

void TForm1::MSR1Click()
{
    if (busy_) return;
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();
    st_.log.printf(" in MSR1Click, %s, %s \n", cwd.c_str(), curdir.c_str());
    const std::string tool = (std::filesystem::path(curdir) / "stripe").string();
    // Only a program is the tool: a folder or a plain file of that name is not.
    const std::filesystem::file_status what = std::filesystem::status(tool, ec);
    constexpr auto exec = std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec |
                          std::filesystem::perms::others_exec;
    const bool program =
        std::filesystem::is_regular_file(what) && (what.permissions() & exec) != std::filesystem::perms::none;
    const int err = program ? 0 : -1;
    int error = 0;
    if (err != 0) {
        if (AboutBox4) AboutBox4->exec();
        showDataSource();
    } else {
        const std::string arg = st_.fl.usb_f ? "-u" : "--";
        if (pf_.runProgram(tool, {arg, arg}) < 0) error = pf_.lastError();
    }
    st_.log.printf(" r27=%x, %x, %x, err=%d, usb_f=%ld, errno=%d \n", st_.rg.r27, st_.rg.r28, st_.rg.r29, err,
                   long(st_.fl.usb_f), error);
    Edit1->setFocus();
}

}  // namespace ptu
