// The history of keyboard images: names, the newest hundred kept, and a
// history that cannot be written costing one warning line.
#include "device/history.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace ptu;
namespace fs = std::filesystem;

TEST(History, KeepsTheNewestHundredNamedByTimeDirectionAndModel)
{
    test::FakePlatform pf;
    const test::TempDir folder("history");
    const fs::path& dir = folder.dir();
    pf.history = (dir / "ptu" / "history").string();
    const std::vector<uint8_t> image(8192, 0x5A);
    std::string first, last;
    for (int i = 0; i < 105; ++i) {
        pf.clock_ms += 1000;
        last = keepImage(pf, i % 2 == 1, 4, image);
        if (i == 0) first = last;
    }
    // The same second, direction and model again: a name of its own, newest.
    const std::string again = keepImage(pf, false, 4, image);
    EXPECT_NE(again, "");
    EXPECT_NE(again, last);

    const std::vector<HistoryEntry> kept = listHistory(pf.history);
    ASSERT_EQ(kept.size(), kHistoryKept);
    EXPECT_FALSE(fs::exists(first));  // the oldest went
    EXPECT_EQ(kept.front().path, again);
    EXPECT_EQ(kept[1].path, last);
    EXPECT_FALSE(kept[1].written);  // the 105th image (i = 104) is a read
    EXPECT_TRUE(kept[2].written);
    EXPECT_EQ(kept[2].model, 4);
    EXPECT_EQ(kept[1].when.size(), 19u);
    EXPECT_EQ(fs::file_size(last), 8192u);

    // Nowhere to keep it: one warning line, the command goes on.
    pf.history = "/proc/ptu/history";
    pf.events.clear();
    EXPECT_EQ(keepImage(pf, false, 4, image), "");
    EXPECT_EQ(pf.only("warning").size(), 1u);
    pf.history.clear();  // no history at all: nothing, not even a warning
    EXPECT_EQ(keepImage(pf, false, 4, image), "");
    EXPECT_EQ(pf.only("warning").size(), 1u);
}
