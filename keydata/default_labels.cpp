#include "keydata/default_labels.h"

#include "keydata/fcode.h"
#include "keydata/keypos.h"

namespace ptu {

namespace {

constexpr std::array<const char*, 6> kLockLabels = {"KLP", "KL0", "KL1", "KL2", "KL3", "KL4"};
constexpr std::array<const char*, 4> kFixedLabels = {"TOT", "SbT", "RES", "Ger"};
constexpr std::array<const char*, 4> kFixedLabelsModel4 = {"RES", "SbT", "Ger", "TOT"};
constexpr char kNumericKeys[] = "7894561230.";

char pageChar(int page) { return page == 5 ? 'P' : char('1' + page); }

// The models whose numeric pad gets its labels on every page.
bool hasPadLabels(int kbt_f) { return kbt_f == 9 || kbt_f == 13 || kbt_f == 14; }

}  // namespace

std::string positionName(const ModelValues& mv, int page, int col, int row)
{
    std::string name;
    if (knownModel(mv.kbt_f) && pn[mv.kbt_f] > 1) name += pageChar(page);
    name += char('A' + (col - mv.kxs));
    const int r = row - mv.kys;
    name += r < 9 ? char('1' + r) : char('a' + (r - 9));
    return name;
}

FirstPageFaces defaultLabels(State& st)
{
    FirstPageFaces faces;
    const ModelValues& mv = st.mv;
    KeyData& kd = st.kd;
    const int pages = knownModel(mv.kbt_f) ? pn[mv.kbt_f] : 1;
    const auto& fixed = mv.kbt_f == 4 ? kFixedLabelsModel4 : kFixedLabels;

    // Page 1: names from the lists in grid order; the key-lock and numeric
    // lists share one running index, the fixed-function list has its own.
    size_t listIndex = 0, fixedIndex = 0;
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kCols; ++x) {
            std::string label;
            const int kind = keyKind(st, x, y);
            if (kind == KIND_LOCK) {
                label = listIndex < kLockLabels.size() ? kLockLabels[listIndex] : "";
                st.log.printf(" x=%d, y=%d, i=%d, klk=%s \n", x, y, int(listIndex), label.c_str());
                ++listIndex;
            } else if (kind == KIND_FIXED && st.fl.hide_f) {
                label = fixedIndex < fixed.size() ? fixed[fixedIndex] : "";
                st.log.printf(" x=%d, y=%d, i=%d, kp1=%s \n", x, y, int(fixedIndex), label.c_str());
                ++fixedIndex;
            } else if (kind == KIND_NUMERIC) {
                if (listIndex < sizeof kNumericKeys - 1) label = std::string(1, kNumericKeys[listIndex]);
                ++listIndex;
                keyCell(kd.hbuf, 0, x, y) = label;
                faces.hint[size_t(y)][size_t(x)] = label;
                faces.yellow[size_t(y)][size_t(x)] = true;
            } else {
                label = positionName(mv, 0, x, y);
            }
            keyCell(kd.kcap, 0, x, y) = label;
            if (st.fl.dup_f) keyCell(kd.hbuf, 0, x, y) = label;
            st.log.printf(" kbt_f=%d, pn[]=%d, y=%d, x=%d, k=%d, ss=%s \n", mv.kbt_f, pages, y, x,
                          keyUse(st, 0, x, y), label.c_str());
        }
    }

    for (int p = 1; p < pages; ++p) {
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                std::string name = positionName(mv, p, x, y);
                if (st.fl.dup_f) keyCell(kd.hbuf, p, x, y) = name;
                keyCell(kd.kcap, p, x, y) = std::move(name);
            }
        }
    }

    if (hasPadLabels(mv.kbt_f)) {
        for (int p = 0; p < pages; ++p) {
            size_t next = 0;
            for (int y = 0; y < kRows; ++y) {
                for (int x = 0; x < kCols; ++x) {
                    const int kind = keyKind(st, x, y);
                    if (!(kind & (KIND_HIDDEN | KIND_PAD))) continue;
                    const std::string label = kPadFaceTexts[next];
                    if (next + 1 < kPadFaceTexts.size()) ++next;
                    keyCell(kd.kcap, p, x, y) = label;
                    if (st.fl.dup_f) keyCell(kd.hbuf, p, x, y) = label;
                    if (p == 0 && st.fl.hide_f) {
                        faces.yellow[size_t(y)][size_t(x)] = true;
                        faces.hint[size_t(y)][size_t(x)] = keyCell(kd.hbuf, 0, x, y);
                    }
                }
            }
        }
    }
    return faces;
}

}  // namespace ptu
