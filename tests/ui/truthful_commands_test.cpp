// No transfer without a keyboard, a file that is no image named before it
// loads, the cause of an unreachable keyboard and why the chooser asks.
#include "tests/ui/window_fixture.h"

#include <QAction>

#include <filesystem>
#include <fstream>

using namespace ptu;
using namespace ptu::test;

static bool said(const Window& w, const std::string& what)
{
    for (const std::string& e : w.pf.events)
        if (e.find(what) != std::string::npos) return true;
    return false;
}

TEST(TruthfulCommands, WithoutAKeyboardNothingIsTransferredNorKept)
{
    for (int Flags::*flag : {&Flags::ask_f, &Flags::d_f}) {
        for (int command = 0; command < 3; ++command) {
            Window w;
            w.pf.history = w.file("history");
            ASSERT_TRUE(w.build());
            w.st->fl.*flag = w.st->fl.usb_f = 1;
            w.text(0, 0, 0) = "hello";
            w.pf.events.clear();
            (command == 0 ? w.form->Read1 : command == 1 ? w.form->Write1 : w.form->Verify1)->trigger();
            EXPECT_EQ(w.text(0, 0, 0), "hello");
            EXPECT_TRUE(w.pf.only("request").empty() && !std::filesystem::exists(w.file("history"))) << command;
            EXPECT_TRUE(said(w, "No keyboard is attached")) << command;
        }
    }
}

TEST(TruthfulCommands, OpenNamesAFileThatIsNoImageBeforeItLoads)
{
    struct Case {
        size_t size;
        int answer;
        const char* said;
    } const cases[] = {
        {8193, IDCANCEL, ": 8193 bytes; an image of this keyboard has 8192; no data-file signature at its end."},
        {8193, IDOK, ": 8193 bytes; an image of this keyboard has 8192; no data-file signature at its end."},
        {8192, IDCANCEL, ": no data-file signature at its end."},
        {4096, IDOK, "Data Loading Failed!\nThe file holds 4096 bytes; an image of this keyboard has 8192."},
    };
    for (const Case& c : cases) {
        Window w;
        ASSERT_TRUE(w.build());
        std::ofstream(w.file("in.tpl"), std::ios::binary) << std::string(c.size, 'A');
        w.pf.box_answer = c.answer;
        w.pf.files = {w.file("before.tpl"), w.file("in.tpl"), w.file("after.tpl")};
        w.form->Save1->trigger();
        w.form->Open1->trigger();
        w.form->Save1->trigger();
        EXPECT_TRUE(said(w, c.said)) << c.size;
        const bool loads = c.size > 4096 && c.answer == IDOK;
        EXPECT_EQ(w.st->kd.magcfg[0] == 'A', loads) << c.size;
        std::ifstream a(w.file("after.tpl")), b(w.file("before.tpl"));
        EXPECT_EQ(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b), {}), !loads);
    }
}

TEST(TruthfulCommands, AKeyboardOutOfReachIsNamedByDetectionTheChooserAndTheTransfers)
{
    Window w;
    w.pf.portgate_present = false;
    w.pf.device = "/run/x/portgate";
    w.pf.problem = "cannot reach the keyboard driver at /run/x/portgate: No such file or directory";
    w.answer = 4;
    ASSERT_TRUE(w.build());
    EXPECT_TRUE(said(w, "Detecting Keyboard ...\nwaiting for the keyboard driver at /run/x/portgate (attempt 5 of 5)"));
    EXPECT_EQ(w.note, "No keyboard answered: " + w.pf.problem + ".");
    for (QAction* command : {w.form->Read1, w.form->Write1, w.form->Verify1}) {
        w.pf.events.clear();
        command->trigger();
        const char* what = command == w.form->Write1 ? "was not written: " : "could not be read: ";
        EXPECT_TRUE(said(w, std::string("| The keyboard ") + what + w.pf.problem + "."));
    }
}
