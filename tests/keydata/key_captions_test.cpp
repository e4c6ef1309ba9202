// Key captions kept as text lines: only captions that differ from the
// model's default labels are kept, and every kept caption comes back.
#include "keydata/default_labels.h"
#include "keydata/key_captions.h"
#include "keydata/keypos.h"

#include <gtest/gtest.h>

#include <memory>

namespace ptu {
namespace {

// A state for the model as the window builds it: the extent and the default labels.
std::unique_ptr<State> model(int kbt, int hide)
{
    auto st = std::make_unique<State>();
    st->mv.kbt_f = kbt;
    st->fl.hide_f = hide;
    update_globals(*st);
    defaultLabels(*st);
    return st;
}

TEST(KeyCaptions, OnlyChangedCaptionsAreKeptAndAllComeBack)
{
    // One- and six-page models, the numeric pad labels of model 9, and
    // hidden keys shown by -x.
    for (auto [kbt, hide] : {std::pair{0, 1}, std::pair{1, 1}, std::pair{4, 1}, std::pair{9, 1}, std::pair{4, 0},
                             std::pair{10, 0}}) {
        SCOPED_TRACE("model " + std::to_string(kbt) + " hide_f " + std::to_string(hide));
        auto st = model(kbt, hide);
        EXPECT_EQ(captionsText(*st), "");  // the default labels need no file
        // Every key a caption of its own, every byte value among them.
        int n = 0;
        for (int p = 0; p < kPages; ++p)
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kCols; ++c)
                    if (captionCell(*st, p, c, r))
                        keyCell(st->kd.kcap, p, c, r) = {char(1 + n % 255), ' ', 'x', char(1 + ++n % 255)};
        const std::string text = captionsText(*st);
        const CaptionsRead read = parseCaptions(text);
        EXPECT_TRUE(read.warnings.empty()) << read.warnings.front();
        EXPECT_EQ(int(read.lines.size()), n);
        auto back = model(kbt, hide);
        std::vector<std::string> warnings;
        applyCaptions(*back, read.lines, warnings);
        EXPECT_TRUE(warnings.empty());
        EXPECT_EQ(back->kd.kcap, st->kd.kcap);
        // A key back to its default label loses its line.
        const CaptionLine first = read.lines.front();
        keyCell(st->kd.kcap, first.page, first.col, first.row) =
            keyCell(model(kbt, hide)->kd.kcap, first.page, first.col, first.row);
        EXPECT_EQ(int(parseCaptions(captionsText(*st)).lines.size()), n - 1);
    }
}

TEST(KeyCaptions, MalformedLinesAreNamedAndSkipped)
{
    const CaptionsRead read = parseCaptions("# c\n\ncaption 0 0 0 ok\r\ncaption 0 22 0 x\ncaption 6 0 0 x\n"
                                            "caption 0 1 0 ABCDEFGHIJ\ncaption 0 1 1 \\x00\ncaption 0 1 2 \\q\n"
                                            "caption 0 0 0 again\ncaption\nkeys 0 0 0 x\ncaption 0 3 0 ABCDEFGHI");
    ASSERT_EQ(read.lines.size(), 2u);
    EXPECT_EQ(read.lines[0].text, "ok");
    EXPECT_EQ(read.lines[1].text, "ABCDEFGHI");  // nine characters, no line end
    std::string lines;
    for (const std::string& w : read.warnings) lines += w.substr(0, w.find(':')) + ";";
    EXPECT_EQ(lines, "line 4;line 5;line 6;line 7;line 8;line 9;line 10;line 11;");
}

}  // namespace
}  // namespace ptu
