// The progress box on Qt's offscreen platform: what it shows, what the
// platform's progress operations do to it, and that keys reach nothing.
#include "platform/qt/qt_platform.h"
#include "ui/progress_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>

using namespace ptu;

namespace {

void ensureApp() { ASSERT_NE(QApplication::instance(), nullptr); }

QColor labelColour(const TAboutBox1& box) { return box.Comments->palette().color(QPalette::Window); }

}  // namespace

TEST(ProgressBox, StartsAsDetection)
{
    ensureApp();
    TAboutBox1 box;
    EXPECT_EQ(box.windowTitle(), "Tessaral Programmable Keyboard");
    EXPECT_FALSE(box.isModal());
    ASSERT_EQ(box.ListBox1->count(), 2);
    EXPECT_EQ(box.ListBox1->item(0)->text(), "Accessing the keyboard may take 40 seconds.");
    EXPECT_EQ(box.ListBox1->item(1)->text(), "Please don't move your mouse and have a rest.");
    EXPECT_EQ(box.Comments->text(), "Detecting Keyboard ...");
    EXPECT_EQ(labelColour(box), QColor(255, 0, 0));
    EXPECT_TRUE(box.Comments->wordWrap());
    EXPECT_EQ(box.Comments->alignment(), Qt::AlignCenter);
    EXPECT_TRUE(box.ProgressBar1->isHidden());
    EXPECT_EQ(box.ProgressBar1->minimum(), 0);
    EXPECT_EQ(box.ProgressBar1->maximum(), 100);
    EXPECT_EQ(box.barStep(), 6);
}

TEST(ProgressBox, PlatformOperationsDriveIt)
{
    ensureApp();
    TAboutBox1 box;
    QtPlatform pf(false);
    bindProgressBox(pf, &box);

    pf.progressShow();
    EXPECT_TRUE(box.isVisible());
    pf.progressText("Reading 8K Keyboard Data ...", 0x0000BF);
    EXPECT_EQ(box.Comments->text(), "Reading 8K Keyboard Data ...");
    EXPECT_EQ(labelColour(box), QColor(191, 0, 0));
    pf.progressText(" 25% Keyboard Reading has Completed ", kKeepColour);
    EXPECT_EQ(box.Comments->text(), " 25% Keyboard Reading has Completed ");
    EXPECT_EQ(box.commentColour(), 0x0000BFu) << "the colour stays";

    pf.progressBar(true, 0, 25);
    EXPECT_TRUE(box.ProgressBar1->isVisible());
    for (int i = 0; i < 5; ++i) pf.progressStep();
    EXPECT_EQ(box.ProgressBar1->value(), 100) << "never past the end";
    pf.progressBar(false, 100, 25);
    EXPECT_TRUE(box.ProgressBar1->isHidden());
    pf.progressRepaint();
    pf.progressHide();
    EXPECT_FALSE(box.isVisible());

    bindProgressBox(pf, nullptr);
    pf.progressText("after", 0x00FF00);
    EXPECT_EQ(box.Comments->text(), " 25% Keyboard Reading has Completed ");
}

TEST(ProgressBox, KeysReachNothingAndAClickShowsItAgain)
{
    ensureApp();
    TAboutBox1 box;
    box.showBox();
    box.ListBox1->setCurrentRow(0);
    box.ListBox1->setFocus();
    QTest::keyClick(box.ListBox1, Qt::Key_Down);
    EXPECT_EQ(box.ListBox1->currentRow(), 0);
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible()) << "Esc does not close it";
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_TRUE(box.isVisible());

    // Hidden behind other windows, a click on it brings it back.
    box.showMinimized();
    QTest::mouseClick(box.Comments, Qt::LeftButton);
    EXPECT_FALSE(box.isMinimized());
    EXPECT_TRUE(box.isVisible());
}
