// The main window of every model, built through the identification, the
// switches, the USB type and the choosers, and the edge cases of the model
// decision that a user meets: captions, chooser answers, hidden keys.
#include "device/usb.h"
#include "keydata/keypos.h"
#include "tests/ui/window_fixture.h"
#include "ui/colours.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

using namespace ptu;
using namespace ptu::test;

namespace {

struct Route {
    const char* how;
    std::function<void(Window&)> setup;
    int model;
    int pages;
    int visible;          // panels shown on page 1
    const char* chooser;  // the chooser the user saw, "" for none
    const char* titleEnd; // the caption's "." and r2e
};

void usbType(Window& w, uint8_t code)
{
    w.st->fl.usb_f = 1;
    AskConfig(*w.st, w.pf, [code](State& s) {
        s.rg.r2a = code;
        s.fl.cancel_f = 0;
    });
}

const Route kRoutes[] = {
    {"INFO 0xFD", [](Window& w) { w.kb.r2a = 0xFD; }, 0, 1, 176, "", ".1"},
    {"INFO 0xFC", [](Window& w) { w.kb.r2a = 0xFC; }, 1, 1, 57, "", ".1"},
    {"INFO 0x80", [](Window& w) { w.kb.r2a = 0x80; }, 2, 6, 118, "", ".1"},
    {"INFO 0xA5", [](Window& w) { w.kb.r2a = 0xA5; }, 3, 6, 118, "", ".1"},
    {"INFO 0xA4", [](Window& w) { w.kb.r2a = 0xA4; }, 4, 6, 61, "", ".1"},
    {"-4, first button", [](Window& w) { w.st->fl.pad_f = 1; w.answer = 0; }, 5, 1, 24,
     "driver QX-11/QX-21/QX-22", ".1"},
    {"-p, second button", [](Window& w) { w.st->fl.pad_f = 1; w.answer = 1; }, 6, 1, 24,
     "driver QX-11/QX-21/QX-22", ".1"},
    {"-6, first button", [](Window& w) { w.st->fl.m60_f = 1; w.answer = 0; }, 7, 1, 102, "driver QX-41/QX-42", ".1"},
    {"-6, second button", [](Window& w) { w.st->fl.m60_f = 1; w.answer = 1; }, 8, 1, 20, "driver QX-41/QX-42", ".1"},
    {"-8", [](Window& w) { w.st->fl.m84_f = 1; }, 9, 6, 90, "", ".1"},
    {"-b", [](Window& w) { w.st->fl.m17_f = 1; }, 10, 1, 17, "", ".1"},
    {"-4, third button", [](Window& w) { w.st->fl.pad_f = 1; w.answer = 2; }, 11, 6, 26,
     "driver QX-11/QX-21/QX-22", ".1"},
    {"-2", [](Window& w) { w.st->fl.pad_f = 2; }, 12, 1, 24, "", ".1"},
    {"USB QX-63", [](Window& w) { usbType(w, 0x69); }, 13, 6, 72, "", ".0"},
    {"-7", [](Window& w) { w.st->fl.m70_f = 1; }, 14, 6, 76, "", ".1"},
    {"USB QX-33", [](Window& w) { usbType(w, 0x6B); }, 15, 1, 24, "", ".0"},
    {"USB QX-24", [](Window& w) { usbType(w, 0x6C); }, 16, 1, 45, "", ".0"},
    {"USB QX-71", [](Window& w) { usbType(w, 0x6D); }, 17, 1, 45, "", ".0"},
};

int enabledViewPages(const TForm1& f)
{
    int n = 0;
    for (QAction* a : f.ViewPageItem) n += a->isEnabled();
    return n;
}

}  // namespace

TEST(MainWindow, EveryModelGetsItsGridPagesAndCaption)
{
    for (const Route& r : kRoutes) {
        SCOPED_TRACE(r.how);
        Window w;
        w.writeCaption("ptu.ini", "Shop keyboard\n");
        w.writeCaption("uptu.ini", "USB shop keyboard\n");
        r.setup(w);
        ASSERT_TRUE(w.build());
        const State& st = *w.st;
        EXPECT_EQ(st.mv.kbt_f, r.model);
        EXPECT_EQ(w.visiblePanels(), r.visible);
        const bool onePageFamily = (st.fl.pad_f && r.model != 11) || st.fl.m60_f;
        EXPECT_EQ(enabledViewPages(*w.form), onePageFamily ? 0 : (r.pages == 6 ? 5 : 1));
        EXPECT_EQ(w.form->CopyPageTo1->isEnabled(), !onePageFamily);
        EXPECT_EQ(w.form->Current1->isEnabled(), true);
        EXPECT_EQ(w.choosers.empty() ? std::string() : w.choosers.front(), r.chooser);
        const std::string title = w.form->windowTitle().toStdString();
        EXPECT_TRUE(title.ends_with(r.titleEnd)) << title;

        // The first key is current, its row box beside it; every panel of
        // the extent lies inside the client area, none outside it has a size.
        const auto [c, row] = w.current();
        EXPECT_EQ(c, st.mv.kxs);
        EXPECT_EQ(row, st.mv.kys);
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                const QRect g = w.form->panelAt(x, y)->geometry();
                const bool inside = x >= st.mv.kxs && x < st.mv.kxn && y >= st.mv.kys && y < st.mv.kyn;
                EXPECT_EQ(g.isEmpty(), !inside) << x << "," << y;
                if (inside) {
                    EXPECT_TRUE(w.form->Client->rect().contains(g)) << x << "," << y;
                }
            }
        }
        if (KeyPanel* p = w.form->currentPanel(); p && !p->isHidden()) {
            EXPECT_EQ(p->face().colour, clFuchsia);
        }
    }
}

TEST(MainWindow, LabelsOfKeysAndPages)
{
    // Model 4: fixed-function names in its own order, key-lock names, and on
    // later pages position names that start with the page.
    Window w;
    ASSERT_TRUE(w.build());
    EXPECT_EQ(w.caption(0, 0), "1A1");
    EXPECT_EQ(w.caption(8, 7), "RES");  // grid order: row by row, left to right
    EXPECT_EQ(w.caption(14, 7), "SbT");
    EXPECT_EQ(w.caption(16, 7), "TOT");
    EXPECT_EQ(w.caption(17, 0), "KLP");
    EXPECT_EQ(w.caption(17, 5), "KL4");
    EXPECT_EQ(keyCell(w.st->kd.kcap, 5, 3, 2), "PD3");
    EXPECT_EQ(keyCell(w.st->kd.kcap, 1, 0, 0), "2A1");
    EXPECT_EQ(w.form->panelAt(0, 0)->accessibleName(), "1A1");
    EXPECT_EQ(w.form->panelAt(17, 0)->accessibleName(), "1R1 KLP");

    // Model 1: the numeric keys carry their digit as caption and macro.
    Window n;
    n.kb.r2a = 0xFC;
    ASSERT_TRUE(n.build());
    EXPECT_EQ(n.caption(4, 2), "7");
    EXPECT_EQ(keyCell(n.st->kd.hbuf, 0, 5, 2), "8");
    EXPECT_EQ(n.caption(6, 5), ".");
    EXPECT_EQ(n.caption(0, 1), "A2");  // one page: no page character

    // Model 14 starts at column 2: its letters start there. "-f" stores
    // every default name as the key's macro too; the pad keeps its labels.
    Window s;
    s.st->fl.m70_f = 1;
    s.st->fl.dup_f = 1;
    ASSERT_TRUE(s.build());
    EXPECT_EQ(s.caption(2, 0), "1A1");
    EXPECT_EQ(keyCell(s.st->kd.hbuf, 0, 2, 0), "1A1");
    EXPECT_EQ(keyCell(s.st->kd.hbuf, 5, 3, 1), "PB2");
    EXPECT_EQ(s.caption(11, 2), "7");
    EXPECT_EQ(keyCell(s.st->kd.kcap, 3, 14, 5), "Enter");

    // Rows past the ninth get letters: model 16 has nine rows, 0 .. 8.
    Window u;
    usbType(u, 0x6C);
    ASSERT_TRUE(u.build());
    EXPECT_EQ(u.caption(0, 8), "A9");
}

TEST(MainWindow, ModelDecisionEdgeCases)
{
    // No identification and no switch: the memory-type chooser, fifth type
    // preset; its first button gives the 2K one-page layout.
    {
        Window w;
        w.kb.infoFailures = 5;
        w.answer = 0;
        ASSERT_TRUE(w.build());
        EXPECT_EQ(w.choosers, std::vector<std::string>{"memory"});
        EXPECT_EQ(w.st->mv.kbt_f, 0);
        EXPECT_EQ(w.st->mv.kbb_f, 2048);
        EXPECT_EQ(w.st->mv.kbp_f, 1);
        EXPECT_EQ(w.st->mv.lmt, 2032);
        EXPECT_EQ(w.st->rg.r28 & 0xE8, 0xE8);  // defaults for a keyboard without r2e
        EXPECT_TRUE(w.form->windowTitle().endsWith(".0"));
    }
    // "-8" never asks, even without an identification; "-6" wins over "-4".
    {
        Window w;
        w.kb.infoFailures = 5;
        w.st->fl.m84_f = 1;
        ASSERT_TRUE(w.build());
        EXPECT_TRUE(w.choosers.empty());
        EXPECT_EQ(w.st->mv.kbt_f, 9);
        EXPECT_EQ(w.st->mv.kmax, 127);
        Window b;
        b.st->fl.m60_f = 1;
        b.st->fl.pad_f = 1;
        b.answer = 1;
        ASSERT_TRUE(b.build());
        EXPECT_EQ(b.choosers.front(), "driver QX-41/QX-42");
        EXPECT_EQ(b.st->mv.kbt_f, 8);
    }
    // A cancelled chooser builds nothing.
    {
        Window w;
        w.st->fl.ask_f = 1;
        w.answer = -1;
        EXPECT_FALSE(w.build());
        EXPECT_EQ(w.st->fl.cancel_f, 1);
        EXPECT_EQ(w.form->aKey[0], nullptr);
    }
    // Captions: cut to 120 characters; a tab ends them at once; a missing
    // file gives the built-in one.
    {
        Window w;
        w.writeCaption("ptu.ini", std::string(130, 'x') + "\n");
        ASSERT_TRUE(w.build());
        EXPECT_EQ(w.form->windowTitle().toStdString(), std::string(120, 'x') + ".1");
        Window t;
        t.writeCaption("ptu.ini", "\tShop\n");
        ASSERT_TRUE(t.build());
        EXPECT_EQ(t.form->windowTitle().toStdString(), ".1");
        Window m;
        ASSERT_TRUE(m.build());
        EXPECT_EQ(m.form->windowTitle().toStdString(), " Tessaral Programmable POS Keyboard  v1.00.1");
    }
    // Model 8 shows two rows, and with "-x" its whole 22 x 8 grid.
    {
        Window w;
        w.st->fl.m60_f = 1;
        w.answer = 1;
        ASSERT_TRUE(w.build());
        EXPECT_EQ(w.st->mv.kyn - w.st->mv.kys, 2);
        EXPECT_TRUE(w.form->panelAt(0, 5)->isHidden());
        Window x;
        x.st->fl.m60_f = 1;
        x.st->fl.hide_f = 0;
        x.answer = 1;
        ASSERT_TRUE(x.build());
        EXPECT_EQ(x.st->mv.kxn - x.st->mv.kxs, 22);
        EXPECT_EQ(x.st->mv.kyn - x.st->mv.kys, 8);
        EXPECT_FALSE(x.form->panelAt(0, 5)->isHidden());
        EXPECT_EQ(x.caption(0, 1), "A2");  // fixed-function keys get position names with -x
    }
    // A narrow screen gets the smaller captions.
    {
        Window w;
        w.screen = QRect(0, 0, 640, 480);
        ASSERT_TRUE(w.build());
        EXPECT_EQ(w.form->panelAt(0, 0)->font().pointSize(), 8);
        Window wide;
        ASSERT_TRUE(wide.build());
        EXPECT_EQ(wide.form->panelAt(0, 0)->font().pointSize(), 10);
    }
}

TEST(MainWindow, DetectionSwallowsTheMouseAndNamesTheKeyboard)
{
    Window w;
    w.st->fl.m84_f = 1;
    ASSERT_TRUE(w.build());
    const auto& ev = w.pf.events;
    auto at = [&](const std::string& e) { return std::find(ev.begin(), ev.end(), e) - ev.begin(); };
    EXPECT_LT(at("mouse held"), at("progress text Detecting Keyboard ... -"));
    EXPECT_LT(at("progress text Detecting Finished! -"), at("mouse released"));
    EXPECT_EQ(w.pf.count("progress caption  Tessaral QX-43 Programmable Keyboard "), 1);
    EXPECT_EQ(w.pf.count("progress text Initiating... -"), 1);
    EXPECT_EQ(w.pf.only("progress hide").size(), 1u);
    // Ten pump passes of 100 ms between detection and the window.
    const size_t from = size_t(at("progress text Detecting Finished! -"));
    int sleeps = 0;
    for (size_t i = from; i < size_t(at("mouse released")); ++i) sleeps += ev[i] == "sleep 100";
    EXPECT_EQ(sleeps, 10);
}
