// Commands that tell the truth: no keyboard, no image, no driver; and the small things.
#include "platform/qt/qt_platform.h"
#include "tests/ui/window_fixture.h"
#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/msr_dialog.h"
#include "ui/title_room.h"
#include "device/transfer.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>

using namespace ptu;
using namespace ptu::test;

static bool said(const Window& w, const std::string& what)
{
    return std::any_of(w.pf.events.begin(), w.pf.events.end(), [&](auto& e) { return e.find(what) != e.npos; });
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
            EXPECT_TRUE(w.pf.only("request").empty() && !std::filesystem::exists(w.file("history")));
            EXPECT_TRUE(said(w, "No keyboard is attached")) << command;
        }
    }
}

TEST(TruthfulCommands, OpenNamesAFileThatIsNoImageBeforeItLoads)
{
    const std::string doubt = ": 8193 bytes; an image of this keyboard has 8192; no data-file signature at its end.";
    for (const auto& [size, answer, text] : std::initializer_list<std::tuple<size_t, int, std::string>>{
             {8193, IDCANCEL, doubt}, {8193, IDOK, doubt},
             {4096, IDOK, "Data Loading Failed!\nThe file holds 4096 bytes; an image of this keyboard has 8192."}}) {
        Window w;
        ASSERT_TRUE(w.build());
        std::ofstream(w.file("in.tpl"), std::ios::binary) << std::string(size, 'A');
        w.pf.box_answer = answer;
        w.pf.files = {w.file("before.tpl"), w.file("in.tpl"), w.file("after.tpl")};
        w.form->Save1->trigger();
        w.form->Open1->trigger();
        w.form->Save1->trigger();
        EXPECT_TRUE(said(w, text)) << size;
        std::ifstream a(w.file("after.tpl")), b(w.file("before.tpl"));  // nothing changed unless it loaded
        EXPECT_EQ(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b), {}),
                  size == 4096 || answer != IDOK);
    }
}

TEST(TruthfulCommands, AKeyboardOutOfReachIsNamedByDetectionTheChooserAndTheTransfers)
{
    Window w;
    w.pf.portgate_present = false;
    w.pf.device = "/run/x/portgate";
    w.pf.problem = "cannot reach the keyboard driver at /run/x/portgate: No such file or directory";
    ASSERT_TRUE(w.build());
    EXPECT_TRUE(said(w, "Detecting Keyboard ...\nwaiting for the keyboard driver at /run/x/portgate (attempt 5 of 5)"));
    EXPECT_EQ(w.note, "No keyboard answered: " + w.pf.problem + ".");
    for (QAction* command : {w.form->Read1, w.form->Write1, w.form->Verify1}) {
        command->trigger();
        const char* what = command == w.form->Write1 ? "was not written: " : "could not be read: ";
        EXPECT_TRUE(said(w, std::string("| The keyboard ") + what + w.pf.problem + "."));
    }
}

TEST(TruthfulCommands, AWriteThatStopsPartWaySaysWhatTheKeyboardHolds)
{
    Window w;
    ASSERT_TRUE(w.build());
    w.kb.failBlock[0x100] = 5;
    w.form->Write1->trigger();
    EXPECT_TRUE(said(w, "Writing 8K Keyboard Data ...\nblock 17 of 512, attempt 5 of 5"));
    EXPECT_TRUE(said(w, "| The keyboard was written only in part: the first 256 of 8,192 bytes are the new "
                        "programming, the rest is the old. Write it again. Cause: the block at 0x0100 could not be "
                        "written in 5 attempts (the driver reported failure: Input/output error)."));
}

TEST(SmallThings, NoTextIsCut)
{
    // A short box is as wide as its title with a window manager's buttons beside it.
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, "Done.");
    makeRoomForTitle(&box);
    box.show();
    EXPECT_GE(box.width(), box.fontMetrics().horizontalAdvance(kAppTitle) + 140);
    box.close();

    // Status bar messages stand beside the panels; a longer text widens a panel.
    ShownWindow w;
    QLabel* panel = w.form->StatusPanel[3];
    w.form->setStatus(3, "ch=1dh, len=1, LastKey=0x0D");
    w.form->statusBar()->showMessage("Undone: Copy Page");
    QApplication::processEvents();
    auto* message = w.form->findChild<QLabel*>("StatusMessage");
    EXPECT_EQ(message->text(), "Undone: Copy Page");
    EXPECT_TRUE(panel->isVisible() && panel->geometry().right() < message->geometry().left());
    EXPECT_GE(panel->width(), panel->fontMetrics().horizontalAdvance(panel->text()));
}

TEST(SmallThings, MarksAboutFiltersCodeFieldsStripeToolAndSaveLogSayWhatIsSo)
{
    Window w;
    ASSERT_TRUE(w.build());
    w.pf.files = {w.file("a.tpl"), w.file("a.tpl"), w.file("a.tpl")};
    w.form->Save1->trigger();
    w.text(0, 0, 0) = "b";
    w.form->Compare1->trigger();
    ASSERT_TRUE(w.form->panelAt(0, 0)->marked());
    w.form->Open1->trigger();
    EXPECT_FALSE(w.form->panelAt(0, 0)->marked());

    std::ofstream(w.file("ptu-help.html")) << "<h1 id=contents>Help</h1>";
    TAboutBox about(w.st->fl, w.form.get());
    w.form->aboutCommand = [&](QWidget* over) { about.execOver(over); };
    w.form->Help1Click();
    auto* help = w.form->findChild<HelpWindow*>("HelpWindow");
    QTimer::singleShot(0, &about, [&] {
        EXPECT_EQ(about.parentWidget(), help);
        EXPECT_EQ(about.ProgramVersion->text(), QString("ptu ") + PTU_VERSION);
        about.reject();
    });
    for (QPushButton* b : help->findChildren<QPushButton*>())
        if (b->text() == "&About") b->click();

    QtPlatform pf(false);
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* types = QApplication::activeModalWidget()->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
        QApplication::activeModalWidget()->close();
    });
    pf.chooseFile({false, "Open", kOpenFilter, "tpl"});
    EXPECT_EQ(shown, QStringList({"Tessaral Keyboard Data *.tpl", "All Files *.*"}));

    TAboutBox4 msr(*w.st, w.form.get());
    w.form->AboutBox4 = &msr;
    w.form->curdir = w.dir.path().toStdString();
    std::filesystem::create_directory(w.file("stripe"));  // a folder is no tool
    QTimer::singleShot(0, &msr, [&] {
        msr.Edit[0]->clear();
        msr.Edit[0]->insert(QString::fromUtf8("\u0142"));  // a character no byte holds
        msr.Edit[0]->insert("#");
        msr.OKButtonClick();
    });
    w.form->MSR1->trigger();
    EXPECT_EQ(w.st->kd.magcfg[2], '#');  // the dialog, not the folder, was opened

    std::ofstream(w.file("log"));
    w.st->log.openIfExists(w.file("log"));
    w.pf.files = {w.file("keys.tpl")};
    w.form->Save1->trigger();
    w.st->log.close();
    std::ifstream log(w.file("log"));
    const std::string text{std::istreambuf_iterator<char>(log), {}};
    EXPECT_NE(text.find(" save(): i=8192, ch=214, kbb_f=8192 \n"), std::string::npos);
}
