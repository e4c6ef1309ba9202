#include "keydata/compare.h"

#include "keydata/keypos.h"

#include <cstdio>

namespace ptu {

std::vector<KeyDifference> compareKeys(const ModelValues& mv, const PageTexts& a, const PageTexts& b)
{
    std::vector<KeyDifference> out;
    const bool ldtCell = mv.kbt_f > 1 && knownModel(mv.kbt_f);
    const KeySlot ldt = ldtCell ? keypos[mv.kbt_f][0] : KeySlot{99, 99, 0};
    for (int p = 0; p < kPages; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                if (p == 0 && c == ldt.col && r == ldt.row) continue;
                const std::string& x = a[size_t(p)][size_t(r)][size_t(c)];
                const std::string& y = b[size_t(p)][size_t(r)][size_t(c)];
                if (x != y) out.push_back({p, c, r, x, y});
            }
    return out;
}

std::vector<std::string> compareSettings(const Registers& ra, const std::array<uint8_t, 7>& ma,
                                         const Registers& rb, const std::array<uint8_t, 7>& mb)
{
    std::vector<std::string> out;
    auto line = [&out](const char* name, unsigned x, unsigned y) {
        if (x == y) return;
        char buf[48];
        std::snprintf(buf, sizeof buf, "%s 0x%02X 0x%02X", name, x, y);
        out.push_back(buf);
    };
    line("ldt", ra.ldt, rb.ldt);
    line("r27", ra.r27, rb.r27);
    line("r28", ra.r28, rb.r28);
    line("r29", ra.r29, rb.r29);
    line("r2a", ra.r2a, rb.r2a);
    if (ma != mb) {
        std::string s = "magcfg";
        for (uint8_t v : ma) {
            char h[4];
            std::snprintf(h, sizeof h, " %02X", v);
            s += h;
        }
        s += " |";
        for (uint8_t v : mb) {
            char h[4];
            std::snprintf(h, sizeof h, " %02X", v);
            s += h;
        }
        out.push_back(s);
    }
    return out;
}

}  // namespace ptu
