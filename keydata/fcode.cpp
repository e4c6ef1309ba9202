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

void fcode(State& s)
{
    const int kbt = s.mv.kbt_f;
    s.log.printf(" In fcode() --> kbt_f = %d \n", kbt);
    if (kbt < 4 || kbt == 7 || kbt >= kModels || !s.fl.hide_f || s.fl.m17_f) return;
    const KeySlot* slots = keypos[kbt];
    auto inGrid = [](const KeySlot& ks) { return ks.col < kCols && ks.row < kRows; };

    if (s.fl.pad_f || s.fl.m84_f || s.fl.m70_f) {
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
            for (int p = 0; p < pages; ++p)
                s.kd.hbuf[std::size_t(p)][slots[k].row][slots[k].col] = kFixedPadTexts[m];
            if (m < 16) ++m;
        }
        s.log.printf(" In fcode() --> m = %d \n", int(m));
        return;
    }

    const auto& dflt = tableSet(s.loc.tset).dflt;
    for (std::size_t i = 0; i < dflt.size() && 64 + i < std::size_t(kSlots); ++i) {
        const KeySlot& ks = slots[64 + i];
        if (ks.kind != KIND_HIDDEN || !inGrid(ks)) continue;
        const DefaultCode& code = dflt[i];
        const auto len = std::size_t(std::find(code.begin(), code.end(), 0) - code.begin());
        s.kd.hbuf[0][ks.row][ks.col].assign(reinterpret_cast<const char*>(code.data()), len);
    }
}

}  // namespace ptu
