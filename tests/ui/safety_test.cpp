// Programming many keyboards safely: the history and Open Recent, Verify
// against the emulated keyboard with a failing memory cell, Compare with a
// file, and the memory meter.
#include "device/history.h"
#include "platform/qt/qt_platform.h"
#include "tests/support/kbdsim_process.h"
#include "tests/ui/window_fixture.h"
#include "ui/history_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

using namespace ptu;
using namespace ptu::test;
namespace fs = std::filesystem;

namespace {

struct Model4 : Window {
    Model4()
    {
        pf.history = dir.path().toStdString() + "/history";
        EXPECT_TRUE(build());
    }
};

std::vector<uint8_t> bytesOf(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

// The real platform on the emulated keyboard; boxes are recorded and answered OK.
class LivePlatform : public QtPlatform {
public:
    LivePlatform() : QtPlatform(false) {}
    std::vector<std::string> boxes;
    int messageBox(const std::string& text, const std::string&, int) override
    {
        boxes.push_back(text);
        return IDOK;
    }
    std::string historyFolder() override { return {}; }
};

}  // namespace

TEST(Safety, HistoryKeepsWhatWasReadAndWrittenAndOpenRecentBringsItBack)
{
    Model4 w;
    w.text(0, 0, 0) = "abc{ENTER}";
    w.form->Write1->trigger();
    w.text(0, 0, 0).clear();
    w.form->Read1->trigger();
    const std::vector<HistoryEntry> kept = listHistory(w.pf.history);
    ASSERT_EQ(kept.size(), 2u);
    for (const HistoryEntry& e : kept) {
        EXPECT_EQ(e.model, 4);
        EXPECT_TRUE(bytesOf(e.path) == w.kb.mem) << e.path;  // the keyboard's memory, byte for byte
    }
    EXPECT_EQ(keysInUse(*w.st, kept.front().path), 1);

    w.text(0, 0, 0) = "changed";
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->accept();  // the newest, chosen at start
    });
    w.form->OpenRecent1->trigger();
    EXPECT_EQ(w.text(0, 0, 0), "abc{ENTER}");
}

TEST(Safety, CompareMarksTheKeysThatDifferFromAFile)
{
    Model4 w;
    w.showActive();
    w.text(0, 3, 1) = "one";
    w.text(0, 4, 1) = "two";
    w.text(2, 0, 0) = "{Return}";  // an alias is no difference: both sides are compared normalised
    w.pf.files = {w.file("keys.tpl")};
    w.form->Save1->trigger();
    w.text(0, 3, 1) = "uno";
    w.text(2, 0, 0) = "{ENTER}";
    w.text(1, 5, 2) = "new";
    w.pf.files = {w.file("keys.tpl")};
    w.form->Compare1->trigger();
    const std::string box = w.pf.only("box").back();
    EXPECT_NE(box.find("2 keys differ"), std::string::npos) << box;
    EXPECT_NE(box.find("1D2: grid \"uno\", file \"one\""), std::string::npos) << box;
    EXPECT_NE(box.find("2F3: grid \"new\", file (empty)"), std::string::npos) << box;
    EXPECT_TRUE(w.form->panelAt(3, 1)->marked());
    EXPECT_FALSE(w.form->panelAt(4, 1)->marked());
    w.key(Qt::Key_PageDown);  // the marks last until the page changes
    EXPECT_FALSE(w.form->panelAt(3, 1)->marked());
    EXPECT_FALSE(w.form->panelAt(5, 2)->marked());
}

TEST(Safety, MemoryMeterIsTheUsedLengthSaveWrites)
{
    Model4 w;
    auto figure = [&] {
        const QString t = w.form->MemoryMeter->text();
        return t.left(t.indexOf(" of ")).remove(',').toInt();
    };
    auto savedWord = [&] {
        w.pf.files = {w.file("m.tpl")};
        w.form->Save1->trigger();
        const std::vector<uint8_t> b = bytesOf(w.file("m.tpl"));
        return b.size() == 8192 ? b[8192 - 100] | b[8192 - 99] << 8 : -1;
    };
    EXPECT_EQ(figure(), savedWord());  // an empty keyboard
    EXPECT_TRUE(w.form->MemoryMeter->text().endsWith(" of 8,090 bytes"));

    w.form->synckeys();
    for (int col = 0; col < 16; ++col) w.text(0, col, 0) = std::string(400, 'a');
    w.form->recordChange("fill", [] {});
    w.form->updateMeter();
    EXPECT_EQ(figure(), savedWord());  // full, everything fits
    EXPECT_FALSE(w.form->MemoryMeter->styleSheet().contains("red"));

    w.text(0, 0, 1) = std::string(2000, 'b');  // one key too many
    w.form->updateMeter();
    EXPECT_TRUE(w.form->MemoryMeter->styleSheet().contains("red"));
    EXPECT_EQ(figure(), savedWord());
}

TEST(Safety, VerifyFindsWhatAFailingMemoryCellKept)
{
    KbdsimProcess sim;
    ASSERT_EQ(sim.start(), 0);
    auto st = std::make_unique<State>();
    LivePlatform pf;
    TForm1::Setup setup;
    setup.screen = QRect(0, 0, 1024, 768);
    TForm1 form(*st, pf, setup);
    ASSERT_TRUE(form.FormCreate());
    // Key 1P1 (column 15, row 1 of model 4) is the first text of page 1:
    // its bytes run from 17 to 58, so block 0x20 lies inside it.
    keyCell(st->kd.hbuf, 0, 15, 0) = "abcdefghijklmnopqrstuvwxyzabcdefghijklmn";
    keyCell(st->kd.hbuf, 0, 0, 1) = "{F1}later";
    form.Write1Click();
    form.Verify1Click();
    ASSERT_FALSE(pf.boxes.empty());
    EXPECT_EQ(pf.boxes.back(), "The keyboard holds what was written.");

    sim.stop();
    ASSERT_EQ(sim.start("--corrupt-block 0x20"), 0);
    form.Write1Click();
    form.Verify1Click();
    const std::string report = pf.boxes.back();
    EXPECT_NE(report.find("differs from what was written"), std::string::npos) << report;
    EXPECT_NE(report.find("1P1: keyboard"), std::string::npos) << report;
    EXPECT_EQ(report.find("1A2"), std::string::npos) << report;  // nothing else
    EXPECT_TRUE(form.panelAt(15, 0)->marked());
    EXPECT_EQ(keyCell(st->kd.hbuf, 0, 15, 0), "abcdefghijklmnopqrstuvwxyzabcdefghijklmn");  // the grid is not touched
}
