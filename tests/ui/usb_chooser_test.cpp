// The USB model chooser on Qt's offscreen platform, driven by mouse and
// keys: what it offers, and what OK, Cancel, Esc and closing leave behind.
#include "ui/usb_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace ptu;

namespace {

struct Chooser {
    std::unique_ptr<State> st = std::make_unique<State>();
    TDialog2 dlg{*st};

    Chooser() { st->rg.r2a = 0x69; }

    // Runs the chooser modally while `user` acts on it; returns exec's result.
    int run(const std::function<void(TDialog2&)>& user)
    {
        QTimer::singleShot(0, &dlg, [this, user] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&dlg));
            user(dlg);
            if (dlg.isVisible()) dlg.reject();  // a user action that did not close it
        });
        return dlg.exec();
    }
};

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

}  // namespace

TEST(UsbChooser, OffersTheFourteenModelsNoneChosen)
{
    Chooser c;
    const char* captions[] = {"QX-21/25", "QX-22", "QX-23", "QX-61", "QX-62", "QX-11", "QX-41",
                              "QX-42",    "QX-43", "QX-63", "QX-44", "QX-33", "QX-24", "QX-71"};
    EXPECT_EQ(c.dlg.windowTitle(), " Tessaral USB Programmable Keyboard");
    for (int i = 0; i < 14; ++i) {
        QRadioButton* b = c.dlg.RadioButton[i];
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), captions[i]);
        EXPECT_EQ(b->objectName(), QString("RadioButton%1").arg(i + 1));
        EXPECT_FALSE(b->isChecked());
        EXPECT_EQ(TDialog2::code(i), 0x60 + i);
    }
    EXPECT_EQ(c.dlg.OKBtn->text(), "OK");
    EXPECT_TRUE(c.dlg.OKBtn->isDefault());
    EXPECT_EQ(c.dlg.CancelBtn->text(), "Cancel");
    const Qt::WindowFlags flags = c.dlg.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST(UsbChooser, OkStoresTheChosenModelsCode)
{
    for (int i = 0; i < 14; ++i) {
        Chooser c;
        c.st->fl.cancel_f = 0;
        int seenOnShow = -1;
        EXPECT_EQ(c.run([&](TDialog2& d) {
            seenOnShow = c.st->fl.cancel_f;
            click(d.RadioButton[i]);
            click(d.OKBtn);
        }),
                  QDialog::Accepted);
        EXPECT_EQ(seenOnShow, 1) << "showing counts as giving up";
        EXPECT_EQ(c.st->rg.r2a, 0x60 + i) << i;
        EXPECT_EQ(c.st->fl.cancel_f, 0) << i;
    }
}

TEST(UsbChooser, OkWithoutAModelCancels)
{
    Chooser c;
    c.run([](TDialog2& d) { click(d.OKBtn); });
    EXPECT_EQ(c.st->fl.cancel_f, 1);
    EXPECT_EQ(c.st->rg.r2a, 0x69);

    // Return presses the default button.
    Chooser r;
    r.run([](TDialog2& d) {
        click(d.RadioButton[4]);
        QTest::keyClick(&d, Qt::Key_Return);
    });
    EXPECT_EQ(r.st->fl.cancel_f, 0);
    EXPECT_EQ(r.st->rg.r2a, 0x64);
}

TEST(UsbChooser, CancelEscAndClosingLeaveR2aAndCancel)
{
    const std::function<void(TDialog2&)> ways[] = {
        [](TDialog2& d) { click(d.CancelBtn); },
        [](TDialog2& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](TDialog2& d) { d.close(); },
    };
    for (const auto& way : ways) {
        Chooser c;
        c.st->fl.cancel_f = 0;
        EXPECT_EQ(c.run([&](TDialog2& d) {
            click(d.RadioButton[2]);
            way(d);
        }),
                  QDialog::Rejected);
        EXPECT_EQ(c.st->fl.cancel_f, 1);
        EXPECT_EQ(c.st->rg.r2a, 0x69);
    }
}
