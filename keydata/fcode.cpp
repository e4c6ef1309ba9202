#include "keydata/fcode.h"

#include "keydata/keypos.h"
#include "keydata/tables.h"

#include <algorithm>
#include <vector>

namespace ptu {

const std::array<const char*, 17> kFixedPadTexts = {
    "7", "4", "1", "0", "8", "5", "2", "00", "9", "6", "3", ".",
    "{NpMinus}", "{NpPlus}", "", "{ENTER}", "",
};

const std::array<const char*, 17> kPadFaceTexts = {
    "7", "8", "9", "-", "4", "5", "6", "+", "1", "2", "3", "", "0", "00", ".", "Enter", "",
};

namespace {

// Whether fcode does anything for this model and these flags.
bool fcodeRuns(const State& s)
{
    const int kbt = s.mv.kbt_f;
    return kbt >= 4 && kbt != 7 && knownModel(kbt) && s.fl.hide_f && !s.fl.m17_f;
}

bool builtInPad(const State& s) { return s.fl.pad_f || s.fl.m84_f || s.fl.m70_f; }

}  // namespace

std::vector<FixedText> fixedTexts(const State& s)
{
    std::vector<FixedText> out;
    if (!fcodeRuns(s)) return out;
    const int kbt = s.mv.kbt_f;
    const KeySlot* slots = keypos[kbt];
    auto inGrid = [](const KeySlot& ks) { return ks.col < kCols && ks.row < kRows; };

    if (builtInPad(s)) {
        std::vector<int> keys;
        for (int k = 0; k < kSlots; ++k) {
            const KeySlot& ks = slots[k];
            if (inGrid(ks) && (ks.kind == KIND_HIDDEN || ks.kind == KIND_PAD)) keys.push_back(k);
        }
        std::stable_sort(keys.begin(), keys.end(), [&](int a, int b) {
            return slots[a].col != slots[b].col ? slots[a].col < slots[b].col
                                                : slots[a].row < slots[b].row;
        });
        const int pages = (s.fl.pad_f && kbt != 11) ? 1 : kPages;
        std::size_t m = 0;
        for (int k : keys) {
            for (int p = 0; p < pages; ++p) out.push_back({p, k, kFixedPadTexts[m]});
            if (m < 16) ++m;
        }
        return out;
    }

    const auto& dflt = tableSet(s.loc.tset).dflt;
    for (std::size_t i = 0; i < dflt.size() && 64 + i < std::size_t(kSlots); ++i) {
        const KeySlot& ks = slots[64 + i];
        if (ks.kind != KIND_HIDDEN || !inGrid(ks)) continue;
        const DefaultCode& code = dflt[i];
        const auto len = std::size_t(std::find(code.begin(), code.end(), 0) - code.begin());
        out.push_back({0, int(64 + i), std::string(reinterpret_cast<const char*>(code.data()), len)});
    }
    return out;
}

void fcode(State& s)
{
    s.log.printf(" In fcode() --> kbt_f = %d \n", s.mv.kbt_f);
    const std::vector<FixedText> texts = fixedTexts(s);
    for (const FixedText& f : texts) {
        const KeySlot& ks = keypos[s.mv.kbt_f][f.slot];
        keyCell(s.kd.hbuf, f.page, ks.col, ks.row) = f.text;
    }
    if (fcodeRuns(s) && builtInPad(s)) {
        // m: the pad texts handed out, the empty one after the sixteenth.
        int keys = 0;
        for (const FixedText& f : texts) keys += f.page == 0;
        s.log.printf(" In fcode() --> m = %d \n", std::min(keys, 16));
    }
}

}  // namespace ptu
