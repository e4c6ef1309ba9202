// The undo history of key-level changes: what a step takes back, how deep it
// goes, and that a change without effect is no step.
#include "keydata/undo.h"

#include <gtest/gtest.h>

#include <memory>

namespace ptu {
namespace {

TEST(Undo, StepsTakeBackTextsNamesRegistersAndStripeSettings)
{
    auto st = std::make_unique<State>();
    UndoHistory h;
    h.begin(*st);
    EXPECT_FALSE(h.end(*st, "nothing"));  // no change, no step
    EXPECT_FALSE(h.canUndo());

    keyCell(st->kd.hbuf, 5, 21, 15) = "old";
    h.begin(*st);
    keyCell(st->kd.hbuf, 5, 21, 15) = "new";
    keyCell(st->kd.kcap, 0, 0, 0) = "Cash";
    st->rg.r27 = 9;
    st->kd.magcfg[6] = 0x7F;
    EXPECT_TRUE(h.end(*st, "Load"));
    EXPECT_EQ(h.next(), "Load");
    EXPECT_EQ(h.undo(*st), "Load");
    EXPECT_EQ(keyCell(st->kd.hbuf, 5, 21, 15), "old");
    EXPECT_EQ(keyCell(st->kd.kcap, 0, 0, 0), "");
    EXPECT_EQ(st->rg.r27, 0);
    EXPECT_EQ(st->kd.magcfg[6], 0x01);
    EXPECT_EQ(h.undo(*st), "");  // nothing left
}

TEST(Undo, AChangeInsideAnotherIsPartOfItsStep)
{
    auto st = std::make_unique<State>();
    UndoHistory h;
    keyCell(st->kd.hbuf, 0, 1, 1) = "a";
    h.begin(*st);  // a drop...
    keyCell(st->kd.hbuf, 0, 1, 1).clear();
    h.begin(*st);  // ...that ends an edit on the way
    keyCell(st->kd.hbuf, 0, 0, 7) = "typed";
    EXPECT_FALSE(h.end(*st, "Edit Key"));
    keyCell(st->kd.hbuf, 0, 2, 1) = "a";
    EXPECT_TRUE(h.end(*st, "Move Key"));
    EXPECT_EQ(h.size(), 1u);
    EXPECT_EQ(h.undo(*st), "Move Key");
    EXPECT_EQ(keyCell(st->kd.hbuf, 0, 1, 1), "a");
    EXPECT_EQ(keyCell(st->kd.hbuf, 0, 2, 1), "");
    EXPECT_EQ(keyCell(st->kd.hbuf, 0, 0, 7), "");
}

TEST(Undo, KeepsTheNewestHundredSteps)
{
    auto st = std::make_unique<State>();
    UndoHistory h;
    for (int i = 1; i <= 120; ++i) {
        h.begin(*st);
        keyCell(st->kd.hbuf, 0, 0, 0) = std::to_string(i);
        h.end(*st, "step " + std::to_string(i));
    }
    EXPECT_EQ(h.size(), UndoHistory::kDepth);
    int undone = 0;
    while (h.canUndo()) {
        h.undo(*st);
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(keyCell(st->kd.hbuf, 0, 0, 0), "20");  // the state before step 21, the oldest kept
}

}  // namespace
}  // namespace ptu
