// Read, Write, Save and Open from the window, as a user runs them: what the
// grid shows afterwards, the messages, and undo of a Read or a Load.
#include "tests/ui/window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include <filesystem>
#include <fstream>

using namespace ptu;
using namespace ptu::test;
namespace fs = std::filesystem;

namespace {

using Model4 = ShownWindow;

}  // namespace

TEST(Commands, WriteThenReadInAnotherWindow)
{
    Model4 a;
    a.text(0, 0, 0) = "abc{ENTER}";
    a.text(5, 3, 2) = "{F12}";
    a.form->Write1->trigger();
    EXPECT_EQ(a.form->statusBar()->currentMessage(), "The keyboard was written.");

    Model4 b;
    b.kb.mem = a.kb.mem;  // the same keyboard, a new run
    b.form->Read1->trigger();
    EXPECT_EQ(b.text(0, 0, 0), "abc{ENTER}");
    EXPECT_EQ(b.text(5, 3, 2), "{F12}");
    EXPECT_EQ(b.form->panelAt(0, 0)->hint(), "abc{ENTER}");
    // A Read is one undo step.
    b.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(b.text(0, 0, 0), "");
}

TEST(Commands, AFailedReadShowsTheErrorAndKeepsTheGrid)
{
    Model4 w;
    w.text(0, 2, 1) = "mine";
    w.form->synckeys();
    w.kb.failBlock[0x40] = 5;
    w.form->Read1->trigger();
    EXPECT_EQ(w.text(0, 2, 1), "mine");
    EXPECT_EQ(w.form->panelAt(2, 1)->hint(), "mine");
    EXPECT_FALSE(w.pf.only("box").empty());  // the transfer said what went wrong
    EXPECT_TRUE(w.form->statusBar()->currentMessage().contains("could not be read"));
}

TEST(Commands, NothingWhileEditingAndNothingTwiceAtOnce)
{
    Model4 w;
    w.key(Qt::Key_Return);  // editing a key text
    w.pf.events.clear();
    w.pf.files = {w.file("x.tpl")};
    for (QAction* a : {w.form->Read1, w.form->Write1, w.form->Save1, w.form->Open1}) a->trigger();
    EXPECT_EQ(w.pf.count("box Tessaral Programmable Keyboard Manager | Please finish your editing first! | 48"), 4);
    EXPECT_TRUE(w.pf.only("request").empty());
    EXPECT_TRUE(w.pf.only("save dialog").empty());

    // A Read asked for while one runs (from its pump passes) is refused.
    w.form->Edit1->setFocus();
    int nested = 0;
    w.pf.handler = [&](uint32_t code, const std::vector<uint8_t>& in, uint32_t) {
        if (code == 0x80FF0044 && nested++ == 0) {
            w.form->Read1Click();
            w.form->Write1Click();
        }
        return w.kb.answer(code, in);
    };
    w.pf.events.clear();
    w.form->Read1->trigger();
    EXPECT_EQ(w.pf.count("progress text Reading 8K Data from the Keyboard... 0000FF"), 2);  // one Read
    EXPECT_TRUE(w.pf.only("progress text Writing").empty());
    EXPECT_EQ(w.pf.only("request 80ff0044").size(), 512u);  // every block once
}

TEST(Commands, SaveAndOpen)
{
    Model4 w;
    w.text(0, 0, 0) = "{Return}1";
    w.text(3, 4, 2) = "page 4";
    w.pf.files = {w.file("keys.tpl")};
    w.form->Save1->trigger();
    EXPECT_EQ(w.pf.only("save dialog").front(), "save dialog Save Tessaral Keyboard Data File");
    ASSERT_EQ(fs::file_size(w.file("keys.tpl")), 8192u);
    // The window names the file (tests/e2e/window_data_file.sh changes and
    // saves it); after a Read the key data is the keyboard's.
    EXPECT_EQ(w.form->DataSource->text(), "keys.tpl");
    w.form->Read1->trigger();
    EXPECT_EQ(w.form->DataSource->text(), "from the keyboard");
    EXPECT_TRUE(w.form->differsFromDataFile());

    for (auto& page : w.st->kd.hbuf)
        for (auto& row : page)
            for (auto& key : row) key.clear();
    w.pf.files = {w.file("keys.tpl")};
    w.form->Open1->trigger();
    EXPECT_EQ(w.text(0, 0, 0), "{ENTER}1");  // an alias comes back as its first name
    EXPECT_EQ(w.text(3, 4, 2), "page 4");
    EXPECT_EQ(w.form->ked[0]->text(), "{ENTER}1");
    w.key(Qt::Key_Z, Qt::ControlModifier);  // a Load is one undo step
    EXPECT_EQ(w.text(3, 4, 2), "");

    // A short file: "Data Loading Failed!" and nothing changes.
    std::ofstream(w.file("short.tpl")) << "abc";
    w.text(1, 1, 1) = "kept";
    w.pf.files = {w.file("short.tpl")};
    w.form->Open1->trigger();
    EXPECT_EQ(w.pf.only("box").back(), "box Tessaral Programmable Keyboard Manager | Data Loading Failed!\n"
                                       "The file holds 3 bytes; an image of this keyboard has 8192. | 48");
    EXPECT_EQ(w.text(1, 1, 1), "kept");

    // Saving where no file can be made: a message naming it, no file.
    w.pf.files = {"/proc/keys.tpl"};
    w.form->Save1->trigger();
    EXPECT_NE(w.pf.only("box").back().find("/proc/keys.tpl"), std::string::npos);
    EXPECT_FALSE(fs::exists("/proc/keys.tpl"));
    // A cancelled dialog does nothing.
    const size_t boxes = w.pf.only("box").size();
    w.form->Open1->trigger();
    w.form->Save1->trigger();
    EXPECT_EQ(w.pf.only("box").size(), boxes);
}

TEST(Commands, KeysThatDoNotFitAreNamedBeforeWriting)
{
    Model4 w;
    const std::string big(3000, 'a');
    for (int col = 0; col < 4; ++col) w.text(0, col, 0) = big;
    w.pf.box_answer = IDCANCEL;
    w.form->Write1->trigger();
    const std::string box = w.pf.only("box").back();
    EXPECT_NE(box.find("cannot be stored"), std::string::npos) << box;
    // row 1 is stored from the right
    EXPECT_NE(box.find("1A1: " + big.substr(0, 40) + "... - cannot be stored: the memory is full"), std::string::npos)
        << box;
    EXPECT_TRUE(w.pf.only("request 80ff0048").empty());  // cancelled: nothing sent
    EXPECT_FALSE(w.form->busy());
}
