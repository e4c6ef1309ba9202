// The configuration and stripe-reader dialogs and the MSR command: the field
// rules, what OK writes into the registers and what Cancel leaves.
#include "tests/ui/window_fixture.h"
#include "ui/config_dialog.h"
#include "ui/msr_dialog.h"
#include "ui/up_down.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>

using namespace ptu;
using namespace ptu::test;

namespace {

// Runs a dialog modally while `user` acts on it.
int run(QDialog& d, const std::function<void()>& user)
{
    QTimer::singleShot(0, &d, [&] {
        user();
        if (d.isVisible()) d.reject();
    });
    return d.exec();
}

void type(QLineEdit* e, const QString& s)
{
    e->setFocus();
    e->clear();
    QTest::keyClicks(e, s);
}

struct Config {
    std::unique_ptr<State> st = std::make_unique<State>();
    FakePlatform pf;
    Config(const std::function<void(State&)>& setup)
    {
        st->rg = {0xA4, 0x01, 4, 0xE8, 0x9E, 16};
        setup(*st);
    }
};

}  // namespace

TEST(ConfigDialog, FieldRulesAndWhatOkWrites)
{
    Config c([](State&) {});
    TAboutBox2 d(*c.st, c.pf);
    run(d, [&] {
        type(d.Edit1, "200");
        EXPECT_EQ(d.Edit1->text(), "1");
        type(d.Edit1, "0");
        EXPECT_EQ(d.Edit1->text(), "140");
        type(d.Edit2, "300");
        EXPECT_EQ(d.Edit2->text(), "0");
        d.Edit1->clear();  // cleared fields: the defaults
        d.Edit2->clear();
        d.CheckBox2->setChecked(false);  // no beep while a key is pressed
        d.OKButtonClick();
    });
    EXPECT_EQ(c.st->rg.r27, 4);
    EXPECT_EQ(c.st->rg.ldt, 16);
    EXPECT_EQ(c.st->rg.r28 & 0x40, 0);
    EXPECT_EQ(c.st->rg.r29 & 0x80, 0x80);
    // Typematic cannot be switched on this model: the disabled, unchecked
    // box sets bit 5 (typematic off).
    EXPECT_FALSE(d.CheckBox1->isEnabled());
    EXPECT_EQ(c.st->rg.r28 & 0x20, 0x20);
    EXPECT_EQ(c.pf.only("box").back(),
              "box Tessaral Programmable POS keyboard manager |  After writing data to the keyboard, \n please "
              "unplug and replug in the keyboard to activate some features! | 0");

    // The up-down steps and wraps.
    d.Edit1->setText("140");
    d.UpDown1->step(1);
    EXPECT_EQ(d.Edit1->text(), "1");
}

TEST(ConfigDialog, UsbKeyboardsKeepTheirOtherBitsAndPadModelsTheirDelay)
{
    Config usb([](State& s) {
        s.fl.usb_f = 1;
        s.rg.r28 = 0xF8;
    });
    TAboutBox2 d(*usb.st, usb.pf);
    EXPECT_FALSE(d.CheckBox4->isEnabled());
    run(d, [&] {
        d.CheckBox2->setChecked(true);
        d.CheckBox3->setChecked(false);
        d.CheckBox1->setChecked(true);
        d.OKButtonClick();
    });
    EXPECT_EQ(usb.st->rg.r28, 0xFD);  // bits 3..7 untouched

    Config pad([](State& s) {
        s.fl.pad_f = 1;
        s.rg.ldt = 99;
        s.rg.r27 = 0;
    });
    TAboutBox2 p(*pad.st, pad.pf);
    EXPECT_FALSE(p.Edit2->isEnabled());
    run(p, [&] { p.reject(); });
    EXPECT_EQ(pad.st->rg.ldt, 16);  // set by opening, kept by Cancel
    EXPECT_EQ(pad.st->rg.r27, 1);
}

TEST(MsrDialog, WorkingCopyOkAndCancel)
{
    auto st = std::make_unique<State>();
    st->rg.r28 = 0xE6;
    TAboutBox4 d(*st);
    const auto initial = st->kd.magcfg;

    run(d, [&] {
        d.CheckBox3->click();  // track 2 off
        EXPECT_EQ(d.magwork[1] & 0x02, 0x02);
        d.reject();
    });
    EXPECT_EQ(st->kd.magcfg, initial);
    run(d, [&] { EXPECT_TRUE(d.CheckBox3->isChecked()); });

    run(d, [&] {
        d.Edit[3]->clear();  // an emptied ending code keeps its byte
        type(d.Edit[0], "#");
        type(d.Edit[4], "40");
        d.Edit[4]->clearFocus();
        EXPECT_EQ(d.Edit[4]->text(), "0");
        type(d.Edit[4], "-5");
        QTest::keyClick(d.Edit[4], Qt::Key_Return);
        EXPECT_EQ(d.Edit[4]->text(), "32");
        d.CheckBox6->click();  // MSR tuning off: r28 bit 1
        d.OKButtonClick();
    });
    EXPECT_EQ(st->kd.magcfg[5], '?');
    EXPECT_EQ(st->kd.magcfg[2], '#');
    EXPECT_EQ(st->kd.magcfg[6], 32);
    EXPECT_EQ(st->kd.magcfg[0], 0xC6);  // bits no control edits survive
    EXPECT_EQ(st->rg.r28, 0xE4);
}

TEST(MsrDialog, FieldsShowWhatOkWouldStoreInTheKeyboardsCharacters)
{
    auto st = std::make_unique<State>();
    st->loc.tset = TableSetId::de;  // Windows-1252: 80 is the euro sign
    st->kd.magcfg = {0xC6, 0x08, 0x80, 0, ';', '?', 200};
    TAboutBox4 d(*st);
    run(d, [&] {
        EXPECT_EQ(d.Edit[4]->text(), "0") << "not the first two digits of 200";
        EXPECT_EQ(d.Edit[0]->text(), QString::fromUtf8("\u20AC"));
        EXPECT_EQ(d.Edit[1]->text(), "") << "byte 0 shows nothing";
        type(d.Edit[1], "A");  // taken at once
        d.Edit[2]->clear();
        d.Edit[2]->insert(QString::fromUtf8("\u00E4"));
        d.OKButtonClick();
    });
    EXPECT_EQ(std::vector<int>(st->kd.magcfg.begin() + 2, st->kd.magcfg.end()),
              (std::vector<int>{0x80, 'A', 0xE4, '?', 0}));
}

TEST(MsrCommand, TheStripeToolWhenThereElseTheDialog)
{
    for (int usb : {0, 1}) {
        Window w;
        w.st->fl.usb_f = usb;
        ASSERT_TRUE(w.build());
        w.form->curdir = w.dir.path().toStdString();
        std::ofstream(w.form->curdir + "/stripe") << "#!/bin/sh\n";
        std::filesystem::permissions(w.form->curdir + "/stripe", std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
        w.form->MSR1->trigger();
        const std::string arg = usb ? "-u" : "--";
        EXPECT_EQ(w.pf.only("run").back(), "run " + w.form->curdir + "/stripe " + arg + " " + arg);
    }
    // Without the tool the dialog opens.
    Window w;
    ASSERT_TRUE(w.build());
    w.form->curdir = w.dir.path().toStdString();
    TAboutBox4 dialog(*w.st, w.form.get());
    w.form->AboutBox4 = &dialog;
    bool opened = false;
    QTimer::singleShot(0, &dialog, [&] {
        opened = dialog.isVisible();
        dialog.reject();
    });
    w.form->MSR1->trigger();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(w.pf.only("run").empty());
}
