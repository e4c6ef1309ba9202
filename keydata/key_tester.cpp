#include "keydata/key_tester.h"

#include "keydata/charset.h"
#include "keydata/decode.h"
#include "keydata/default_labels.h"
#include "keydata/edit_distance.h"
#include "keydata/encode.h"
#include "keydata/keypos.h"
#include "keydata/layout.h"

#include <algorithm>
#include <bitset>

namespace ptu {

namespace {

constexpr uint8_t kMark = 0xFF, kSeparator = 0xFE, kDelay = 0xFD;
constexpr int kDelayUnitMs = 100;
constexpr int kBurstPauseMs = 300;

std::string pageName(int page) { return page == 5 ? "P" : std::to_string(page + 1); }

}  // namespace

std::string typedCodes(const std::string& codes)
{
    std::string out;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const auto c = uint8_t(codes[i]);
        if (c == kDelay) ++i;  // and its count
        else if (c != kMark && c != kSeparator) out += codes[i];
    }
    return out;
}

int delayUnits(const std::string& codes)
{
    int longest = 0, run = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (uint8_t(codes[i]) == kDelay && i + 1 < codes.size()) {
            run += uint8_t(codes[++i]);
            longest = std::max(longest, run);
        } else {
            run = 0;
        }
    }
    return longest;
}

KeyTester::KeyTester(const State& s, int page) : st_(s), page_(page)
{
    const ModelValues& mv = s.mv;
    if (!layoutUsable(mv)) return;
    std::bitset<kRows * kCols> seen;
    int units = 0;
    for (int k = 0; k <= lastSlot(mv); ++k) {
        const KeySlot& ks = keypos[mv.kbt_f][k];
        if (ks.col >= kCols || ks.row >= kRows || (page == 0 && k == 0 && mv.kbt_f > 1)) continue;
        const std::size_t cell = std::size_t(ks.row) * kCols + ks.col;
        const std::string& text = keyCell(s.kd.hbuf, page, ks.col, ks.row);
        if (seen.test(cell) || text.empty() || keyUse(s, page, ks.col, ks.row) != KEY_USABLE) continue;
        seen.set(cell);
        const std::string codes = encodeText(s.loc.tset, s.fl.raw_f != 0, text);
        units = std::max(units, delayUnits(codes));
        keys_.push_back({ks.col, ks.row, text, typedCodes(codes)});
    }
    gapMs_ = kBurstPauseMs + units * kDelayUnitMs;
}

KeyTester::Burst KeyTester::burst(const std::string& codes, bool keysWithoutCode)
{
    Burst b;
    b.text = decodeText(st_.loc.tset, "\xFF" + codes);
    for (Key& k : keys_) {
        if (keysWithoutCode || k.codes != codes) continue;
        b.col = k.col;
        b.row = k.row;
        b.matched = true;
        b.again = k.tested;
        k.tested = true;
        return b;
    }
    int best = -1;
    for (const Key& k : keys_) {
        const int d = editDistance(b.text, k.text);
        if (best >= 0 && d >= best) continue;
        best = d;
        b.col = k.col;
        b.row = k.row;
    }
    misses_.push_back(b);
    return b;
}

int KeyTester::tested() const
{
    return int(std::count_if(keys_.begin(), keys_.end(), [](const Key& k) { return k.tested; }));
}

bool KeyTester::isTested(int col, int row) const
{
    return std::any_of(keys_.begin(), keys_.end(),
                       [&](const Key& k) { return k.tested && k.col == col && k.row == row; });
}

std::string KeyTester::keyName(const Key& k) const
{
    std::string name = positionName(st_.mv, page_, k.col, k.row);
    const std::string& cap = keyCell(st_.kd.kcap, page_, k.col, k.row);
    if (!cap.empty() && cap != name) name += " " + screenText(st_.loc.tset, cap);
    return name;
}

std::string KeyTester::count() const
{
    return std::to_string(tested()) + " of " + std::to_string(programmed()) + " programmed keys tested, " +
           std::to_string(unmatched()) + " wrong";
}

std::string KeyTester::describe(const Burst& b) const
{
    const TableSetId set = st_.loc.tset;
    const auto key = std::find_if(keys_.begin(), keys_.end(), [&](const Key& k) { return k.col == b.col && k.row == b.row; });
    if (b.matched && key != keys_.end())
        return keyName(*key) + ": " + screenText(set, key->text) + " \u2014 as programmed" + (b.again ? " (again)" : "");
    std::string text = "\"" + screenText(set, b.text) + "\" matches no key on page " + pageName(page_);
    if (key != keys_.end()) text += "; nearest " + keyName(*key) + ": " + screenText(set, key->text);
    return text;
}

std::string KeyTester::report(const std::string& when) const
{
    const TableSetId set = st_.loc.tset;
    std::string r = "Key test of page " + pageName(page_) + ", " + when + "\n";
    r += std::string("Keyboard tables: ") + keyboardName(set) + "\n";
    r += count() + "\n\nTested:\n";
    std::string untested;
    for (const Key& k : keys_) {
        const std::string line = "  " + keyName(k) + ": " + screenText(set, k.text) + "\n";
        (k.tested ? r : untested) += line;
    }
    r += "\nNot tested:\n" + untested;
    r += "\nBursts that matched no key:\n";
    for (const Burst& b : misses_) r += "  " + describe(b) + "\n";
    return r;
}

}  // namespace ptu
