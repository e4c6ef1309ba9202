// The key positions of the 18 keyboard models, written as runs of slots and
// expanded into the 176-slot table while compiling.
#include "keydata/keypos.h"

#include <array>
#include <span>

namespace ptu {

namespace {

// Slots first..last lie on a straight line of cells from (c0, r0) to
// (c1, r1), one cell per slot, all of one kind.
struct Run {
    int first, last;
    int c0, r0;
    int c1, r1;
    uint8_t kind = KIND_ORDINARY;
};

// A run of one slot.
constexpr Run at(int slot, int col, int row, uint8_t kind = KIND_ORDINARY)
{
    return {slot, slot, col, row, col, row, kind};
}

// The kind words of the runs below.
constexpr uint8_t hidden = KIND_HIDDEN;
constexpr uint8_t fixed = KIND_FIXED;
constexpr uint8_t lock = KIND_LOCK;
constexpr uint8_t numeric = KIND_NUMERIC;
constexpr uint8_t kind17 = KIND_17;
constexpr uint8_t pad = KIND_PAD;

// Model 0 shows the keyboard's own scan order: serpentine pairs of columns.
constexpr Run kModel0[] = {
    {0, 7, 15,0, 15,7}, {8, 15, 14,7, 14,0}, {16, 23, 13,0, 13,7}, {24, 31, 12,7, 12,0},
    {32, 39, 11,0, 11,7}, {40, 47, 10,7, 10,0}, {48, 55, 9,0, 9,7}, {56, 63, 8,7, 8,0},
    {64, 71, 7,0, 7,7}, {72, 79, 6,7, 6,0}, {80, 87, 5,0, 5,7}, {88, 95, 4,7, 4,0},
    {96, 103, 3,0, 3,7}, {104, 111, 2,7, 2,0}, {112, 119, 1,0, 1,7}, {120, 127, 0,7, 0,0},
    {128, 135, 17,0, 17,7}, {136, 143, 16,7, 16,0}, {144, 151, 19,0, 19,7},
    {152, 159, 18,7, 18,0}, {160, 167, 21,0, 21,7}, {168, 175, 20,7, 20,0},
};
constexpr Run kModel1[] = {
    {0, 2, 0,1, 2,1}, at(3, 0,0), {4, 5, 3,1, 4,1}, at(6, 5,2, numeric), {7, 12, 6,1, 11,1},
    {16, 18, 0,2, 2,2}, at(19, 1,0), at(20, 3,2), at(21, 4,2, numeric), at(22, 5,3, numeric),
    at(23, 6,2, numeric), {24, 28, 7,2, 11,2}, {32, 34, 0,3, 2,3}, at(36, 3,3),
    at(37, 4,3, numeric), at(38, 5,4, numeric), at(39, 6,3, numeric), {40, 43, 7,3, 10,3},
    {48, 50, 0,4, 2,4}, at(52, 3,4), at(53, 4,4, numeric), at(55, 6,4, numeric),
    {56, 59, 7,4, 10,4}, {64, 66, 0,5, 2,5}, at(68, 3,5), at(69, 4,5, numeric),
    at(71, 6,5, numeric), {72, 75, 7,5, 10,5},
};
constexpr Run kModel2[] = {
    at(0, 16,7, kind17), {8, 12, 15,1, 15,5, lock}, at(14, 15,0, lock), {16, 23, 13,0, 13,7},
    {24, 31, 12,7, 12,0}, {32, 39, 11,0, 11,7}, {40, 47, 10,7, 10,0}, {48, 55, 9,0, 9,7},
    {56, 63, 8,7, 8,0}, {64, 71, 7,0, 7,7}, {72, 79, 6,7, 6,0}, {80, 87, 5,0, 5,7},
    {88, 95, 4,7, 4,0}, {96, 103, 3,0, 3,7}, {104, 111, 2,7, 2,0}, {112, 119, 1,0, 1,7},
    {120, 127, 0,7, 0,0},
};
constexpr Run kModel4[] = {
    at(0, 21,6, kind17), {1, 3, 16,0, 16,2}, {8, 12, 17,1, 17,5, lock}, at(14, 17,0, lock),
    {16, 31, 15,0, 0,0}, {32, 47, 15,1, 0,1}, {48, 63, 15,2, 0,2}, {64, 79, 16,3, 1,3, hidden},
    {80, 95, 16,4, 1,4, hidden}, {96, 111, 16,5, 1,5, hidden}, {112, 127, 16,6, 1,6, hidden},
    {128, 130, 16,7, 14,7, fixed}, {134, 135, 11,7, 10,7, hidden}, at(136, 8,7, fixed),
    {137, 138, 7,7, 6,7, hidden}, at(139, 3,7, hidden), at(140, 1,7, hidden),
    at(143, 0,6, hidden), at(148, 13,7, hidden), {152, 153, 5,7, 4,7, hidden},
    {154, 156, 0,5, 0,3, hidden}, at(158, 0,7, hidden), at(165, 9,7, hidden),
    at(167, 12,7, hidden), at(173, 2,7, hidden),
};
constexpr Run kModel5[] = {
    {65, 66, 1,3, 0,3}, {72, 75, 2,3, 5,3}, {76, 79, 6,3, 9,3, hidden}, {81, 82, 1,2, 0,2},
    {88, 91, 2,2, 5,2}, {92, 95, 6,2, 9,2, hidden}, {97, 98, 1,1, 0,1}, {104, 107, 2,1, 5,1},
    {108, 111, 6,1, 9,1, hidden}, {113, 114, 1,0, 0,0}, {120, 123, 2,0, 5,0},
    {124, 127, 6,0, 9,0, hidden},
};
constexpr Run kModel6[] = {
    {65, 66, 8,2, 8,3, hidden}, {72, 73, 8,1, 8,0, hidden}, {74, 79, 3,5, 3,0},
    {81, 82, 7,2, 7,3, hidden}, {88, 89, 7,1, 7,0, hidden}, {90, 95, 2,5, 2,0},
    {97, 98, 6,2, 6,3, hidden}, {104, 105, 6,1, 6,0, hidden}, {106, 111, 1,5, 1,0},
    {113, 114, 5,2, 5,3, hidden}, {120, 121, 5,1, 5,0, hidden}, {122, 127, 0,5, 0,0},
};
constexpr Run kModel7[] = {
    at(3, 16,0), {48, 63, 15,0, 0,0}, {64, 79, 16,1, 1,1}, {80, 95, 16,2, 1,2},
    {96, 111, 16,3, 1,3}, {112, 127, 16,4, 1,4}, {128, 130, 16,5, 14,5}, at(133, 7,5),
    {134, 135, 11,5, 10,5}, {136, 138, 8,5, 6,5}, at(139, 3,5), at(140, 1,5), at(143, 0,4),
    at(148, 13,5), {152, 153, 5,5, 4,5}, {154, 156, 0,3, 0,1}, at(158, 0,5), at(165, 9,5),
    at(167, 12,5), at(173, 2,5),
};
constexpr Run kModel8[] = {
    at(3, 16,0), at(8, 99,0), {48, 63, 15,0, 0,0}, {64, 83, 0,5, 19,5, hidden},
    {84, 103, 0,6, 19,6, hidden}, {104, 123, 0,7, 19,7, hidden}, {124, 127, 16,3, 19,3, hidden},
    at(128, 0,1, fixed), at(129, 1,3, hidden), at(130, 1,1, fixed),
    {131, 135, 3,3, 7,3, hidden}, at(136, 2,1, fixed), {137, 143, 9,3, 15,3, hidden},
    {144, 147, 18,0, 21,0, hidden}, at(148, 21,3, hidden), {149, 153, 17,1, 21,1, hidden},
    at(154, 20,3, hidden), {155, 159, 17,2, 21,2, hidden}, at(160, 0,3, hidden),
    at(161, 14,4, hidden), at(162, 2,3, hidden), {163, 167, 15,4, 19,4, hidden},
    at(168, 8,3, hidden), at(169, 21,5, hidden), at(170, 20,6, hidden), at(171, 11,4, hidden),
    {172, 173, 20,7, 21,7, hidden}, at(174, 20,4, hidden), at(175, 17,0, hidden),
};
constexpr Run kModel9[] = {
    at(0, 0,14, kind17), {8, 12, 15,1, 15,5, lock}, at(14, 15,0, lock), {32, 34, 8,5, 10,5},
    {35, 38, 11,5, 14,5, pad}, {40, 47, 7,5, 0,5}, {48, 50, 8,4, 10,4},
    {51, 54, 11,4, 14,4, pad}, {56, 63, 7,4, 0,4}, {64, 66, 8,3, 10,3},
    {67, 70, 11,3, 14,3, pad}, {72, 79, 7,3, 0,3}, {80, 82, 8,2, 10,2},
    {83, 86, 11,2, 14,2, pad}, {88, 95, 7,2, 0,2}, {96, 99, 8,1, 11,1}, {104, 111, 7,1, 0,1},
    {112, 115, 8,0, 11,0}, {120, 127, 7,0, 0,0},
};
constexpr Run kModel10[] = {
    at(48, 4,0), {64, 67, 3,0, 3,3}, {80, 83, 2,0, 2,3}, {96, 99, 1,0, 1,3},
    {112, 115, 0,0, 0,3},
};
constexpr Run kModel11[] = {
    at(0, 0,14, kind17), {8, 12, 4,1, 4,5, lock}, at(14, 4,0, lock), {65, 66, 8,2, 8,3, hidden},
    {72, 73, 8,1, 8,0, hidden}, {74, 77, 3,5, 3,2}, {81, 82, 7,2, 7,3, hidden},
    {88, 89, 7,1, 7,0, hidden}, {90, 93, 2,5, 2,2}, {97, 98, 6,2, 6,3, hidden},
    {104, 105, 6,1, 6,0, hidden}, {106, 111, 1,5, 1,0}, {113, 114, 5,2, 5,3, hidden},
    {120, 121, 5,1, 5,0, hidden}, {122, 127, 0,5, 0,0},
};
constexpr Run kModel12[] = {
    {65, 66, 8,3, 9,3, hidden}, {72, 73, 7,3, 6,3, hidden}, {74, 79, 5,3, 0,3},
    {81, 82, 8,2, 9,2, hidden}, {88, 89, 7,2, 6,2, hidden}, {90, 95, 5,2, 0,2},
    {97, 98, 8,1, 9,1, hidden}, {104, 105, 7,1, 6,1, hidden}, {106, 111, 5,1, 0,1},
    {113, 114, 8,0, 9,0, hidden}, {120, 121, 7,0, 6,0, hidden}, {122, 127, 5,0, 0,0},
};
constexpr Run kModel13[] = {
    at(0, 0,14, kind17), {8, 12, 15,1, 15,5, lock}, at(14, 15,0, lock), {48, 49, 8,4, 9,4},
    {51, 54, 10,4, 13,4, pad}, {56, 63, 7,4, 0,4}, {64, 65, 8,3, 9,3},
    {67, 70, 10,3, 13,3, pad}, {72, 79, 7,3, 0,3}, {80, 81, 8,2, 9,2},
    {83, 86, 10,2, 13,2, pad}, {88, 95, 7,2, 0,2}, {96, 97, 8,1, 9,1},
    {99, 102, 10,1, 13,1, pad}, {104, 109, 7,1, 2,1}, {112, 113, 8,0, 9,0},
    {115, 118, 10,0, 13,0}, {120, 125, 7,0, 2,0},
};
constexpr Run kModel14[] = {
    at(0, 0,14, kind17), {8, 12, 15,1, 15,5, lock}, at(14, 15,0, lock), {32, 34, 8,5, 10,5},
    {35, 38, 11,5, 14,5, pad}, {40, 45, 7,5, 2,5}, {48, 50, 8,4, 10,4},
    {51, 54, 11,4, 14,4, pad}, {56, 61, 7,4, 2,4}, {64, 66, 8,3, 10,3},
    {67, 70, 11,3, 14,3, pad}, {72, 77, 7,3, 2,3}, {80, 82, 8,2, 10,2},
    {83, 86, 11,2, 14,2, pad}, {88, 93, 7,2, 2,2}, {96, 98, 8,1, 10,1}, {104, 109, 7,1, 2,1},
    {112, 114, 8,0, 10,0}, {120, 125, 7,0, 2,0},
};
constexpr Run kModel16[] = {
    at(0, 0,14, kind17), at(49, 4,8), {56, 63, 4,7, 4,0}, at(65, 3,8), {72, 79, 3,7, 3,0},
    at(81, 2,8), {88, 95, 2,7, 2,0}, at(97, 1,8), {104, 111, 1,7, 1,0}, at(113, 0,8),
    {120, 127, 0,7, 0,0},
};

// Models 3, 15 and 17 have the keys of models 2, 12 and 16.
constexpr std::span<const Run> kRuns[kModels] = {
    kModel0, kModel1, kModel2,  kModel2,  kModel4,  kModel5,  kModel6,  kModel7,  kModel8,
    kModel9, kModel10, kModel11, kModel12, kModel13, kModel14, kModel12, kModel16, kModel16,
};

using ModelSlots = std::array<KeySlot, kSlots>;

// Not constexpr: reaching it while the table is expanded stops the build.
void badRun() {}

constexpr int step(int from, int to) { return from < to ? 1 : from > to ? -1 : 0; }
constexpr int distance(int from, int to) { return from < to ? to - from : from - to; }

// Expands one model's runs. Every run must be a straight horizontal or
// vertical line whose length is its number of slots, and no slot may be
// given twice.
consteval ModelSlots expand(std::span<const Run> runs)
{
    ModelSlots slots{};
    for (KeySlot& s : slots) s = {99, 99, 0};
    std::array<bool, kSlots> given{};
    for (const Run& r : runs) {
        const int n = r.last - r.first;
        if (r.first < 0 || n < 0 || r.last >= kSlots) badRun();
        if (r.c0 != r.c1 && r.r0 != r.r1) badRun();
        if (distance(r.c0, r.c1) + distance(r.r0, r.r1) != n) badRun();
        const int dc = step(r.c0, r.c1);
        const int dr = step(r.r0, r.r1);
        for (int i = 0; i <= n; ++i) {
            const int k = r.first + i;
            if (given[k]) badRun();
            given[k] = true;
            const int c = r.c0 + i * dc;
            const int w = r.r0 + i * dr;
            if (c < 0 || c > 255 || w < 0 || w > 255) badRun();
            slots[k] = {uint8_t(c), uint8_t(w), r.kind};
        }
    }
    return slots;
}

consteval std::array<ModelSlots, kModels> expandAll()
{
    std::array<ModelSlots, kModels> all{};
    for (int m = 0; m < kModels; ++m) all[m] = expand(kRuns[m]);
    return all;
}

constexpr std::array<ModelSlots, kModels> kExpanded = expandAll();

// The first slot of the model naming cell (col, row), or none.
const KeySlot* findSlot(int kbt_f, int col, int row)
{
    if (!knownModel(kbt_f)) return nullptr;  // no such model: no keys
    for (const KeySlot& s : keypos[kbt_f])
        if (s.col == col && s.row == row) return &s;
    return nullptr;
}

}  // namespace

// The expanded table, copied element by element into the plain array that the
// codec indexes as keypos[kbt_f][slot]; still fixed while compiling.
#define PTU_KP8(m, k)                                                             \
    kExpanded[m][k], kExpanded[m][k + 1], kExpanded[m][k + 2], kExpanded[m][k + 3], \
        kExpanded[m][k + 4], kExpanded[m][k + 5], kExpanded[m][k + 6], kExpanded[m][k + 7]
#define PTU_KPMODEL(m)                                                                      \
    {                                                                                       \
        PTU_KP8(m, 0), PTU_KP8(m, 8), PTU_KP8(m, 16), PTU_KP8(m, 24), PTU_KP8(m, 32),       \
            PTU_KP8(m, 40), PTU_KP8(m, 48), PTU_KP8(m, 56), PTU_KP8(m, 64), PTU_KP8(m, 72), \
            PTU_KP8(m, 80), PTU_KP8(m, 88), PTU_KP8(m, 96), PTU_KP8(m, 104),                \
            PTU_KP8(m, 112), PTU_KP8(m, 120), PTU_KP8(m, 128), PTU_KP8(m, 136),             \
            PTU_KP8(m, 144), PTU_KP8(m, 152), PTU_KP8(m, 160), PTU_KP8(m, 168),             \
    }
static_assert(kSlots == 22 * 8, "PTU_KPMODEL lists 22 groups of 8 slots");

constinit const KeySlot keypos[kModels][176] = {
    PTU_KPMODEL(0),  PTU_KPMODEL(1),  PTU_KPMODEL(2),  PTU_KPMODEL(3),  PTU_KPMODEL(4),
    PTU_KPMODEL(5),  PTU_KPMODEL(6),  PTU_KPMODEL(7),  PTU_KPMODEL(8),  PTU_KPMODEL(9),
    PTU_KPMODEL(10), PTU_KPMODEL(11), PTU_KPMODEL(12), PTU_KPMODEL(13), PTU_KPMODEL(14),
    PTU_KPMODEL(15), PTU_KPMODEL(16), PTU_KPMODEL(17),
};
static_assert(kModels == 18, "keypos lists 18 models");

#undef PTU_KPMODEL
#undef PTU_KP8

int keyKind(const ModelValues& mv, int col, int row)
{
    const KeySlot* s = findSlot(mv.kbt_f, col, row);
    return s ? s->kind : 0;
}

int keyUse(const ModelValues& mv, const Flags& fl, int page, int col, int row)
{
    const KeySlot* s = findSlot(mv.kbt_f, col, row);
    if (!s) return KEY_NONE;
    const int kind = s->kind;
    const int low = kind & 0x0F;
    if (low == 0) return KEY_USABLE;                             // ordinary, numeric pad
    if ((low == 4 || low == 8) && page == 0) return KEY_USABLE;  // fixed, key lock
    if ((kind & 0x01) && fl.hide_f == 0) return KEY_USABLE;      // hidden keys shown by -x
    if (kind == KIND_NUMERIC && page == 0) return KEY_USABLE;    // numeric keys of model 1
    if (kind & 0x01) return KEY_HIDDEN;
    if (kind & 0x02) return KEY_BIT1;
    return KEY_NONE;
}

void update_globals(ModelValues& mv, const Flags& fl, Log& log)
{
    mv.kxn = 0;
    mv.kyn = 0;
    mv.kxs = 99;
    mv.kys = 99;
    if (knownModel(mv.kbt_f)) {
        for (const KeySlot& s : keypos[mv.kbt_f]) {
            const bool shown = s.col < kCols && s.row < kRows && (s.kind & 0x03) == 0;
            const bool unhidden = s.kind == KIND_HIDDEN && fl.hide_f == 0;
            if (!shown && !unhidden) continue;
            if (s.col > mv.kxn) mv.kxn = s.col;
            if (s.row > mv.kyn) mv.kyn = s.row;
            if (s.col < mv.kxs) mv.kxs = s.col;
            if (s.row < mv.kys) mv.kys = s.row;
        }
    }
    mv.kxn += 1;
    mv.kyn += 1;
    log.printf(" kxn=%d, kyn=%d, kxs=%d, kys=%d \n", mv.kxn, mv.kyn, mv.kxs, mv.kys);
}

}  // namespace ptu
