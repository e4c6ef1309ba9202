// A main window built the way the program builds it, on the fake platform:
// the emulated keyboard answers the identification, the choosers answer as
// the test says, caption files come from a folder of the test's own.
#pragma once

#include "tests/support/fake_keyboard.h"
#include "tests/support/fake_platform.h"
#include "ui/main_window.h"
#include "ui/row_box.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace ptu::test {

struct Window : Rig {
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    // The chooser's answer: a button index, or -1 for Cancel. The choosers
    // shown are recorded ("memory", "driver QX-11/QX-21/QX-22/QX-32" ...).
    int answer = 0;
    std::vector<std::string> choosers;
    std::string note;  // what the choosers were told about the keyboard
    QRect screen{0, 0, 1024, 768};
    LanguageIds lang{0x409, 0x409, 0x409};  // chooses the locale set

    void writeCaption(const char* file, const std::string& firstLine)
    {
        std::FILE* f = std::fopen((dir.path().toStdString() + "/" + file).c_str(), "w");
        std::fputs(firstLine.c_str(), f);
        std::fclose(f);
    }

    // Builds the window; returns FormCreate's result.
    bool build()
    {
        TForm1::Setup setup;
        setup.dataFolders = {dir.path().toStdString()};
        setup.screen = screen;
        setup.lang = lang;
        setup.choosers.memoryType = [this](State& s) {
            choosers.push_back("memory");
            if (answer < 0) s.fl.cancel_f = 1;
            else s.mv.kbt_f = answer;
        };
        setup.choosers.driverModel = [this](State& s, const DriverChoice& c) {
            std::string shown = "driver";
            for (int i = 0; i < c.shown; ++i) shown += std::string(i ? "/" : " ") + c.captions[size_t(i)];
            choosers.push_back(shown);
            static constexpr int large[4] = {7, 8, 8, 8}, small[4] = {5, 6, 11, 12};
            if (answer < 0) s.fl.cancel_f = 1;
            else s.mv.kbt_f = s.fl.m60_f ? large[answer] : small[answer];
        };
        setup.choosers.explain = [this](const std::string& text) { note = text; };
        form = std::make_unique<TForm1>(*st, pf, setup);
        return form->FormCreate();
    }

    // Shows the window and waits until it has the focus, so keys reach it.
    void showActive()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The macro text of a key, and a file in the test's folder.
    std::string& text(int page, int col, int row) { return keyCell(st->kd.hbuf, page, col, row); }
    std::string file(const char* name) const { return dir.path().toStdString() + "/" + name; }

    int visiblePanels() const
    {
        int n = 0;
        for (KeyPanel* p : form->aKey) n += !p->isHidden();
        return n;
    }
    std::string caption(int col, int row) const { return form->panelAt(col, row)->caption().toStdString(); }
    std::pair<int, int> current() const
    {
        const KeyData& kd = st->kd;
        return {kd.kxi[size_t(kd.pi)], kd.kyi[size_t(kd.pi)]};
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keyClick(target, k, m);
    }
};

// The model 4 window (the emulated keyboard's default), shown and active.
struct ShownWindow : Window {
    ShownWindow()
    {
        EXPECT_TRUE(build());
        showActive();
    }
};

}  // namespace ptu::test
