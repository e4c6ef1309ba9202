// The window icon is compiled in and draws: a missing resource or a missing
// SVG plugin leaves every window with the desktop's blank icon.
#include "app/application.h"

#include <gtest/gtest.h>

TEST(ApplicationIcon, DrawsAtTheSizesADesktopAsksFor)
{
    const QIcon icon = ptu::PtuApplication::icon();
    for (int side : {16, 48, 256}) {
        const QPixmap p = icon.pixmap(side, side);
        ASSERT_FALSE(p.isNull()) << side;
        EXPECT_EQ(p.width(), side);
        // The middle of the keyboard is drawn, not left transparent.
        EXPECT_GT(p.toImage().pixelColor(side / 2, side / 2).alpha(), 0) << side;
    }
}
