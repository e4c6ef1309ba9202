// Marks that go with a Load, About in front of the help window with the
// program's version, the filter texts, the code fields, the stripe tool and
// Save's log line.
#include "platform/qt/qt_platform.h"
#include "tests/ui/window_fixture.h"
#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/msr_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>

using namespace ptu;
using namespace ptu::test;

TEST(SmallThings, MarksGoWithALoadAndAboutStandsInFrontOfTheHelpWindow)
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
    QWidget* over = nullptr;
    QTimer::singleShot(0, &about, [&] {
        over = about.parentWidget();
        EXPECT_EQ(about.ProgramVersion->text(), QString("ptu ") + PTU_VERSION);
        about.reject();
    });
    for (QPushButton* b : help->findChildren<QPushButton*>())
        if (b->text() == "&About") b->click();
    EXPECT_EQ(over, help);
}

TEST(SmallThings, FileDialogsShowTheFilterDescriptionsAsTheyStand)
{
    QtPlatform pf(false);
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* types = d->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
        d->reject();
    });
    pf.chooseFile({false, "Open", kOpenFilter, "tpl"});
    EXPECT_EQ(shown, QStringList({"Tessaral Keyboard Data *.tpl", "All Files *.*"}));
}

TEST(SmallThings, CodeFieldsStripeToolAndSaveLogSayWhatIsSo)
{
    Window w;
    ASSERT_TRUE(w.build());
    TAboutBox4 msr(*w.st, w.form.get());
    w.form->AboutBox4 = &msr;
    w.form->curdir = w.dir.path().toStdString();
    std::filesystem::create_directory(w.file("stripe"));  // a folder is no tool
    QTimer::singleShot(0, &msr, [&] {
        msr.Edit[0]->clear();
        msr.Edit[0]->insert(QString::fromUtf8("\u20AC"));  // a character no byte holds
        msr.Edit[0]->insert("#");
        msr.OKButtonClick();
    });
    w.form->MSR1->trigger();
    EXPECT_TRUE(w.pf.only("run").empty());
    EXPECT_EQ(w.st->kd.magcfg[2], '#');

    std::FILE* log = std::tmpfile();
    w.st->log.attach(log);
    w.pf.files = {w.file("keys.tpl")};
    w.form->Save1->trigger();
    std::rewind(log);
    char text[4096] = {};
    EXPECT_GT(std::fread(text, 1, sizeof text - 1, log), 0u);
    EXPECT_NE(std::string(text).find(" save(): i=8192, ch=214, kbb_f=8192 \n"), std::string::npos);
    w.st->log.close();
    std::fclose(log);
}
