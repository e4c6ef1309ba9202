// Key captions kept beside the data file by Save and Open, and the print
// preview of the legends with its options and PDF export.
#include "tests/ui/window_fixture.h"
#include "keydata/keypos.h"
#include "ui/legend_preview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPrintPreviewWidget>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace ptu;
using namespace ptu::test;
namespace fs = std::filesystem;

namespace {

std::string contents(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

}  // namespace

TEST(Legends, CaptionsKeptBesideTheDataFile)
{
    ShownWindow a;
    a.text(0, 2, 1) = "abc";
    a.pf.files = {a.file("plain.tpl")};
    a.form->Save1->trigger();
    EXPECT_FALSE(fs::exists(a.file("plain.tpl.captions")));  // every caption is its default label

    keyCell(a.st->kd.kcap, 0, 0, 0) = "Coffee";
    keyCell(a.st->kd.kcap, 5, 2, 3) = "V\xF6id";  // a byte of the locale set, escaped in the file
    a.pf.files = {a.file("shop.tpl")};
    a.form->Save1->trigger();
    EXPECT_EQ(contents(a.file("shop.tpl")), contents(a.file("plain.tpl")));  // the data file as without captions
    const std::string kept = contents(a.file("shop.tpl.captions"));
    EXPECT_EQ(kept.substr(kept.find('\n') + 1), "caption 0 0 0 Coffee\ncaption 5 2 3 V\\xF6id\n");

    ShownWindow b;
    b.pf.files = {a.file("shop.tpl")};
    b.form->Open1->trigger();
    EXPECT_EQ(b.caption(0, 0), "Coffee");
    EXPECT_EQ(keyCell(b.st->kd.kcap, 5, 2, 3), "V\xF6id");
    EXPECT_EQ(b.form->dataFile(), a.file("shop.tpl"));
    // A data file without captions: every key its default label, in the
    // Load's undo step.
    b.pf.files = {a.file("plain.tpl")};
    b.form->Open1->trigger();
    EXPECT_EQ(b.caption(0, 0), "1A1");
    EXPECT_EQ(keyCell(b.st->kd.kcap, 5, 2, 3), "PC4");
    b.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(b.caption(0, 0), "Coffee");
    b.key(Qt::Key_Z, Qt::ControlModifier);  // undo of the Load brings the old captions back
    EXPECT_EQ(keyCell(b.st->kd.kcap, 0, 0, 0), "1A1");
    EXPECT_EQ(b.caption(0, 0), "1A1");

    // Back to the default label: the captions file goes.
    keyCell(a.st->kd.kcap, 0, 0, 0) = "1A1";
    keyCell(a.st->kd.kcap, 5, 2, 3) = "PC4";
    a.pf.files = {a.file("shop.tpl")};
    a.form->Save1->trigger();
    EXPECT_FALSE(fs::exists(a.file("shop.tpl.captions")));

    // Bad lines are named and skipped; the others are taken.
    int col = 0, row = 0;
    while (keyUse(*b.st, 0, col, row) != KEY_NONE) col = (col + 1) % kCols, row += col == 0;
    std::ofstream(a.file("shop.tpl.captions"))
        << "# captions\ncaption 0 1 0 Tea\ncaption 0 2 0 ABCDEFGHIJ\ncaption 0 " << col << " " << row
        << " Nokey\nkey 0 1 0 x\n";
    b.pf.events.clear();
    b.pf.files = {a.file("shop.tpl")};
    b.form->Open1->trigger();
    EXPECT_EQ(b.caption(1, 0), "Tea");
    EXPECT_EQ(keyCell(b.st->kd.kcap, 0, 2, 0), "1C1");
    const std::vector<std::string> boxes = b.pf.only("box");
    ASSERT_EQ(boxes.size(), 1u);
    for (const char* said : {"3 lines were skipped", "line 3: caption: \"ABCDEFGHIJ\" has 10 characters",
                             "the model has no key there", "line 5: \"key\" is no caption line"})
        EXPECT_NE(boxes[0].find(said), std::string::npos) << said << " in " << boxes[0];
}

TEST(Legends, PreviewOffersPitchAndProgrammingSheetAndExportsPdf)
{
    ShownWindow w;
    EXPECT_EQ(w.form->PrintLegends1->text(), "&Print Legends...");
    w.text(0, 0, 0) = "coffee{ENTER}";
    keyCell(w.st->kd.kcap, 0, 0, 0) = "Coffee";
    LegendPreview preview(*w.st, w.pf, "shop.tpl", w.form.get());
    preview.view()->updatePreview();
    const int legends = preview.view()->pageCount();
    EXPECT_EQ(preview.sheets(), legends);
    EXPECT_GE(legends, 5);  // a sheet for each of pages 1, 2, 3, 4 and P at least
    preview.Programming->setChecked(true);
    const int withTexts = preview.view()->pageCount();
    EXPECT_GT(withTexts, legends * 2);  // the grids again and the table
    preview.Programming->setChecked(false);
    preview.Pitch->setValue(30);
    EXPECT_GT(preview.view()->pageCount(), legends);  // larger keys, more parts

    w.pf.files = {w.file("sheet.pdf")};
    preview.ExportPdf->trigger();
    EXPECT_EQ(contents(w.file("sheet.pdf")).substr(0, 5), "%PDF-");
    w.pf.files = {w.file("no/such/folder/sheet.pdf")};
    preview.ExportPdf->trigger();
    EXPECT_NE(w.pf.only("box").back().find("The legends were not exported"), std::string::npos);
}
