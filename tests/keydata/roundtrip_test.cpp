// The codec's round trip over generated texts, for every model and locale:
// once a text has been through an image, decoding the image it makes gives
// the same text again, and encoding that gives the same bytes.
#include "codec_support.h"
#include "keydata/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace ptu::test {
namespace {

class TextGen {
public:
    TextGen(unsigned seed, const TableSet& set) : rng_(seed), set_(set) {}

    std::string text()
    {
        std::string t;
        const int pieces = pick(1, 12);
        for (int i = 0; i < pieces; ++i) {
            switch (pick(0, 9)) {
            case 0: case 1: {  // a key name in any case
                std::string name = set_.nok1[std::size_t(pick(0, int(set_.nok1.size()) - 1))].name;
                for (char& c : name)
                    if (pick(0, 1)) c = char(std::tolower(static_cast<unsigned char>(c)));
                t += "{" + name + "}";
                break;
            }
            case 2: t += "{" + std::to_string(pick(1, 255)) + (pick(0, 3) ? "" : "x") + "}"; break;
            case 3: t += pick(0, 1) ? "{foo}" : "{"; break;
            case 4: t += char(pick(0x80, 0xFF)); break;
            default: {
                char c;
                do c = char(pick(0x20, 0x7E)); while (c == '{');
                t += c;
            }
            }
        }
        return t;
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    std::mt19937 rng_;
    const TableSet& set_;
};

// A state for model kbt as its driver road lays it out (USB-only models with
// the flags of their USB type).
std::unique_ptr<State> fresh(int kbt, TableSetId ts, int hide)
{
    Flags fl;
    const Reach reach = reachOf(kbt, false);
    applySwitches(fl, reach.sw);
    auto s = makeState(kbt, defaultMemory(kbt), pagesKept(fl, kbt), ts);
    s->fl = fl;
    s->fl.hide_f = hide;
    s->mv.kmax = reach.kmax;
    s->rg.ldt = keepsLdt(fl, kbt) ? 16 : 0;
    return s;
}

std::vector<uint8_t> encodeTexts(int kbt, TableSetId ts, int hide, const PageTexts& texts, uint8_t ldt)
{
    auto s = fresh(kbt, ts, hide);
    s->kd.hbuf = texts;
    s->rg.ldt = ldt;
    buildImage(*s);
    return image(*s);
}

PageTexts decodeImage(int kbt, TableSetId ts, int hide, const std::vector<uint8_t>& img, uint8_t& ldt)
{
    auto s = fresh(kbt, ts, hide);
    loadImage(*s, img);
    ldt = s->rg.ldt;
    return s->kd.hbuf;
}

bool holdsSecondaryRow(const TableSet& set, const std::vector<uint8_t>& img)
{
    bool seen[256] = {};
    for (const CharRow& row : set.nok2) {
        if (!seen[row.ch]) {
            seen[row.ch] = true;
            continue;
        }
        const auto len = std::size_t(std::find(row.code.begin(), row.code.end(), 0) - row.code.begin());
        if (std::search(img.begin(), img.end(), row.code.begin(), row.code.begin() + long(len)) != img.end())
            return true;
    }
    return false;
}

TEST(CodecRoundTrip, EveryModelAndLocale)
{
    constexpr TableSetId kSets[] = {TableSetId::us, TableSetId::uk, TableSetId::es, TableSetId::pt,
                                    TableSetId::no, TableSetId::it, TableSetId::de, TableSetId::fr};
    unsigned seed = 1;
    for (int kbt = 0; kbt < kModels; ++kbt) {
        for (TableSetId ts : kSets) {
            for (int hide : {1, 0}) {
                SCOPED_TRACE("model " + std::to_string(kbt) + " set " + tableSet(ts).tag +
                             " hide_f " + std::to_string(hide));
                auto proto = fresh(kbt, ts, hide);
                TextGen gen(seed++, tableSet(ts));
                // Fill rate: about a third of the memory for texts of ~25 bytes.
                const int slots = (lastSlot(proto->mv) + 1) * pn[kbt];
                const int fill = std::clamp(100 * proto->mv.kbb_f / 3 / 25 / std::max(slots, 1), 5, 60);
                PageTexts t0{};
                for (int p = 0; p < pn[kbt]; ++p)
                    for (int k = 0; k <= lastSlot(proto->mv); ++k) {
                        const KeySlot& ks = keypos[kbt][k];
                        if (ks.col >= kCols || ks.row >= kRows || (ks.kind & 0x10)) continue;
                        if ((ks.kind & 0x01) && hide) continue;  // hidden keys hold fixed codes
                        if (p == 0 && k == 0 && kbt > 1) continue;
                        if (gen.pick(0, 99) >= fill) continue;
                        // A text that stores no byte reads back as no text.
                        std::string t = gen.text();
                        const std::string stored = ttos(*proto, t);
                        if (!stored.empty() && stored[0] != 0) t0[p][ks.row][ks.col] = t;
                    }
                uint8_t ldt = proto->rg.ldt;
                const auto b0 = encodeTexts(kbt, ts, hide, t0, ldt);
                const PageTexts t1 = decodeImage(kbt, ts, hide, b0, ldt);
                const auto b1 = encodeTexts(kbt, ts, hide, t1, ldt);
                const PageTexts t2 = decodeImage(kbt, ts, hide, b1, ldt);
                const auto b2 = encodeTexts(kbt, ts, hide, t2, ldt);
                EXPECT_TRUE(t2 == t1);
                EXPECT_TRUE(b2 == b1);
                // The first image comes back byte for byte, unless it holds the
                // code of a character row that is not that character's first.
                if (!holdsSecondaryRow(tableSet(ts), b0)) {
                    EXPECT_TRUE(b1 == b0);
                }
            }
        }
    }
}

// The image writer has a fast path of its own, and both directions take the
// table walk while tracing: all of them must store and read the same.
TEST(CodecRoundTrip, FastPathsAgreeWithTtosStotAndTracing)
{
    constexpr TableSetId kSets[] = {TableSetId::us, TableSetId::es, TableSetId::no, TableSetId::de};
    for (TableSetId ts : kSets) {
        TextGen gen(99, tableSet(ts));
        auto quiet = makeState(0, 8192, 1, ts);
        auto traced = makeState(0, 8192, 1, ts);
        FILE* sink = std::tmpfile();
        ASSERT_NE(sink, nullptr);
        traced->log.attach(sink);
        for (int round = 0; round < 40; ++round) {
            const std::string text = gen.text() + gen.text();
            keyCell(quiet->kd.hbuf, 0, 15, 0) = text;   // slot 0 of model 0
            keyCell(traced->kd.hbuf, 0, 15, 0) = text;
            htor(*quiet);
            htor(*traced);
            std::string stored = ttos(*quiet, text);
            stored = "\xFF" + stored.substr(0, stored.find('\0'));
            const std::string fast(reinterpret_cast<const char*>(quiet->buf.ibuf.data()), stored.size());
            const std::string slow(reinterpret_cast<const char*>(traced->buf.ibuf.data()), stored.size());
            ASSERT_EQ(fast, stored) << text;
            ASSERT_EQ(slow, stored) << text;
            ASSERT_EQ(quiet->buf.ibuf[stored.size()], 0);

            std::memcpy(quiet->buf.rbuf.data(), quiet->buf.ibuf.data(), stored.size() + 1);
            std::memcpy(traced->buf.rbuf.data(), quiet->buf.ibuf.data(), stored.size() + 1);
            rtoh(*quiet, int(stored.size()) + 1);
            rtoh(*traced, int(stored.size()) + 1);
            ASSERT_EQ(keyCell(quiet->kd.hbuf, 0, 15, 0), stot(*quiet, stored)) << text;
            ASSERT_EQ(keyCell(traced->kd.hbuf, 0, 15, 0), keyCell(quiet->kd.hbuf, 0, 15, 0)) << text;
        }
        traced->log.close();
        std::fclose(sink);
    }
}

TEST(CodecRoundTrip, ACharactersLaterRowReadsBackAsItsFirst)
{
    // Spanish "]" is the make code 1B; its AltGr sequence reads back as "]"
    // and is then stored as 1B: the one way a decoded image changes.
    auto s = makeState(4, 8192, 6, TableSetId::es);
    s->fl.hide_f = 0;
    keyCell(s->kd.hbuf, 0, 15, 0) = "{RALT}{27}{RABRK}";
    const auto b0 = (buildImage(*s), image(*s));
    EXPECT_TRUE(holdsSecondaryRow(tableSet(TableSetId::es), b0));
    loadImage(*s, b0);
    EXPECT_EQ(keyCell(s->kd.hbuf, 0, 15, 0), "]");
    EXPECT_EQ(asInts(ttos(*s, "]")), (std::vector<int>{0x1B}));
}

}  // namespace
}  // namespace ptu::test
