// The two model choosers of the port-driver road and the About box's
// version label, driven as a user drives them.
#include "tests/support/fake_platform.h"
#include "ui/about_box.h"
#include "ui/model_choosers.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace ptu;

namespace {

// Runs a dialog modally while `user` acts on it.
int run(QDialog& d, const std::function<void()>& user)
{
    QTimer::singleShot(0, &d, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
        user();
        if (d.isVisible()) d.reject();
    });
    return d.exec();
}

}  // namespace

TEST(Choosers, MemoryTypeChooser)
{
    const char* types[] = {"176 keys with 2K memory", "55 keys with 2K memory", "112 keys with 2K memory",
                           "112 keys with 8K memory", "136 keys with 8K memory"};
    for (int i = 0; i < 5; ++i) {
        auto st = std::make_unique<State>();
        test::FakePlatform pf;
        st->mv.kbt_f = 4;
        TAboutBox3 d(*st, pf);
        EXPECT_EQ(d.windowTitle(), "Tessaral Programmable Keyboard");
        EXPECT_EQ(d.RadioButton[size_t(i)]->text(), types[i]);
        EXPECT_EQ(d.RadioButton[size_t(i)]->isChecked(), i == 4);
        EXPECT_EQ(run(d, [&] {
            QTest::mouseClick(d.RadioButton[size_t(i)], Qt::LeftButton);
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        }),
                  QDialog::Accepted);
        EXPECT_EQ(st->mv.kbt_f, i);
        EXPECT_EQ(st->fl.cancel_f, 0);
        EXPECT_GE(pf.count("mouse centred"), 1);
    }
    // OK alone keeps the preset; Esc cancels.
    auto st = std::make_unique<State>();
    test::FakePlatform pf;
    st->mv.kbt_f = 4;
    TAboutBox3 d(*st, pf);
    run(d, [&] { QTest::keyClick(&d, Qt::Key_Return); });
    EXPECT_EQ(st->mv.kbt_f, 4);
    EXPECT_EQ(st->fl.cancel_f, 0);
    run(d, [&] { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_EQ(st->fl.cancel_f, 1);
}

TEST(Choosers, DriverModelChooserOfBothFamilies)
{
    struct Case {
        int m60_f;
        DriverChoice choice;
        int button;
        int model;
    };
    const Case cases[] = {
        {1, {{"QX-41", "QX-42", "", ""}, 2}, 0, 7},
        {1, {{"QX-41", "QX-42", "", ""}, 2}, 1, 8},
        {0, {{"QX-11", "QX-21", "QX-22", "QX-32"}, 3}, 1, 6},
        {0, {{"QX-11", "QX-21", "QX-22", "QX-32"}, 3}, 2, 11},
    };
    for (const Case& c : cases) {
        auto st = std::make_unique<State>();
        st->fl.m60_f = c.m60_f;
        st->mv.kbt_f = c.m60_f ? 7 : 5;
        TDialog1 d(*st);
        d.setChoices(c.choice);
        EXPECT_EQ(d.windowTitle(), " Tessaral Programmable Keyboard");
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(d.RadioButton[size_t(i)]->text(), c.choice.captions[size_t(i)]);
            EXPECT_EQ(d.RadioButton[size_t(i)]->isHidden(), i >= c.choice.shown);
            EXPECT_EQ(d.RadioButton[size_t(i)]->isEnabled(), i < c.choice.shown);
        }
        EXPECT_TRUE(d.RadioButton[0]->isChecked());
        run(d, [&] {
            // A click on the button's circle (the caption is shorter than the button).
            QRadioButton* rb = d.RadioButton[size_t(c.button)];
            QTest::mouseClick(rb, Qt::LeftButton, {}, QPoint(8, rb->height() / 2));
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        });
        EXPECT_EQ(st->mv.kbt_f, c.model);
        EXPECT_EQ(st->fl.cancel_f, 0);
        run(d, [&] { QTest::mouseClick(d.CancelBtn, Qt::LeftButton); });
        EXPECT_EQ(st->fl.cancel_f, 1);
    }
}

TEST(Choosers, AboutBoxVersionFollowsTheFamily)
{
    struct Case {
        std::function<void(Flags&)> set;
        const char* label;
    };
    const Case cases[] = {
        {[](Flags&) {}, "Version 5.17"},
        {[](Flags& f) { f.m84_f = 1; }, "Version 8.09"},
        {[](Flags& f) { f.m84_f = 1; f.usb_f = 1; }, "Version 1.07"},  // USB wins over the family switch
        {[](Flags& f) { f.pad_f = 2; f.m60_f = 1; }, "Version 4.14"},
        {[](Flags& f) { f.m60_f = 1; f.capj_f = 1; }, "Version 6.07"},
        {[](Flags& f) { f.capj_f = 1; f.capm_f = 1; }, "Version 3.03"},
        {[](Flags& f) { f.capm_f = 1; f.m17_f = 1; }, "Version 7.03"},
        {[](Flags& f) { f.m17_f = 1; }, "Version 9.04"},
    };
    for (const Case& c : cases) {
        Flags f;
        c.set(f);
        TAboutBox box(f);
        EXPECT_EQ(box.Version->text(), c.label);
        EXPECT_EQ(box.windowTitle(), "Thank You!");
    }
}
