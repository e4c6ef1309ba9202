// The commands tell the truth: no transfer without a keyboard, a file that is
// no image named before it loads, the cause of a failed transfer, and why the
// chooser asks.
#include "tests/ui/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>

#include <filesystem>
#include <fstream>

using namespace ptu;
using namespace ptu::test;
namespace fs = std::filesystem;

namespace {

bool said(const Window& w, const std::string& what)
{
    for (const std::string& e : w.pf.events)
        if (e.find(what) != std::string::npos) return true;
    return false;
}

std::string bytesOf(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

}  // namespace

TEST(TruthfulCommands, WithoutAKeyboardNothingIsTransferredNorKept)
{
    for (int Flags::*flag : {&Flags::ask_f, &Flags::d_f}) {
        for (int command = 0; command < 3; ++command) {
            Window w;
            w.pf.history = w.file("history");
            ASSERT_TRUE(w.build());
            w.st->fl.*flag = 1;
            w.st->fl.usb_f = flag == &Flags::ask_f;
            w.text(0, 0, 0) = "hello";
            w.pf.events.clear();
            (command == 0 ? w.form->Read1 : command == 1 ? w.form->Write1 : w.form->Verify1)->trigger();
            EXPECT_EQ(w.text(0, 0, 0), "hello");
            EXPECT_TRUE(w.pf.only("request").empty());
            EXPECT_FALSE(fs::exists(w.file("history"))) << command;
            EXPECT_TRUE(said(w, "No keyboard is attached")) << command;
        }
    }
}

TEST(TruthfulCommands, OpenNamesAFileThatIsNoImageBeforeItLoads)
{
    struct Case {
        size_t size;
        bool signature;
        int answer;
        const char* said;
        bool loads;
    };
    const Case cases[] = {
        {8193, true, IDCANCEL, ": 8193 bytes; an image of this keyboard has 8192.", false},
        {8193, true, IDOK, ": 8193 bytes; an image of this keyboard has 8192.", true},
        {8192, false, IDCANCEL, ": no data-file signature at its end.", false},
        {4096, false, IDOK, "Data Loading Failed!\nThe file holds 4096 bytes; an image of this keyboard has 8192.", false},
    };
    for (const Case& c : cases) {
        Window w;
        ASSERT_TRUE(w.build());
        w.text(0, 0, 0) = "kept";
        w.pf.files = {w.file("before.tpl")};
        w.form->Save1->trigger();
        std::string noise(c.size, 'A');
        if (c.signature) noise.replace(8189, 3, "\x55\xAA\xD6");
        std::ofstream(w.file("in.tpl"), std::ios::binary) << noise;
        w.pf.box_answer = c.answer;
        w.pf.files = {w.file("in.tpl"), w.file("after.tpl")};
        w.form->Open1->trigger();
        w.form->Save1->trigger();
        EXPECT_TRUE(said(w, c.said)) << c.size;
        EXPECT_EQ(w.st->kd.magcfg[0] == 'A', c.loads) << c.size;
        if (!c.loads) {
            EXPECT_EQ(bytesOf(w.file("after.tpl")), bytesOf(w.file("before.tpl"))) << c.size;
        }
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
        EXPECT_TRUE(said(w, "| The keyboard " + std::string(command == w.form->Write1 ? "was not written: " : "could not be read: ") +
                                w.pf.problem + "."));
    }
}
