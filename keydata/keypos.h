// The compiled-in key positions of the 18 keyboard models and the per-model
// values that follow from them.
#pragma once

#include "keydata/models.h"
#include "keydata/state.h"

#include <cstdint>

namespace ptu {

// One key slot: the grid cell whose macro is the slot's stored string, and
// the key's kind. An unused slot holds column 99, row 99, kind 0.
struct KeySlot {
    uint8_t col;
    uint8_t row;
    uint8_t kind;
};

// Kind values.
enum : uint8_t {
    KIND_ORDINARY = 0,
    KIND_HIDDEN = 1,
    KIND_FIXED = 4,
    KIND_LOCK = 8,
    KIND_NUMERIC = 12,
    KIND_17 = 17,
    KIND_PAD = 32,
};

// keypos[kbt_f][slot].
extern const KeySlot keypos[kModels][176];

// keyUse results. The callers treat everything but KEY_USABLE as a cell
// without a usable key.
enum : int {
    KEY_NONE = 0,     // no key in the cell (or one not usable on this page)
    KEY_USABLE = 1,   // usable and shown
    KEY_HIDDEN = 2,   // hidden key while hide_f is set
    KEY_BIT1 = 3,     // a kind with bit 1 set; no model has one
};

// The kind byte of the first slot of model mv.kbt_f (in slot order) whose
// cell is (col, row); 0 when no slot names the cell.
int keyKind(const ModelValues& mv, int col, int row);

// Whether cell (col, row) holds a usable key on `page` (0..5) for model
// mv.kbt_f, judged by the kind of the first slot naming the cell:
//   kinds 0 and 32 on every page, kinds 4 and 8 on page 0, kind 12 on
//   page 0, kinds 1 and 17 while fl.hide_f is 0: KEY_USABLE;
//   kinds 1 and 17 while fl.hide_f is set: KEY_HIDDEN;
//   a cell no slot names, or kinds 4, 8, 12 on a later page: KEY_NONE.
int keyUse(const ModelValues& mv, const Flags& fl, int page, int col, int row);

// Sets the grid extent mv.kxn, mv.kyn, mv.kxs, mv.kys of model mv.kbt_f: the
// smallest box kxs <= column < kxn, kys <= row < kyn holding every slot that
// counts. A slot counts when it lies in the 22 x 16 grid and its kind has
// neither bit 0 nor bit 1 set, and also when its kind is exactly 1 and
// fl.hide_f is 0 (kind 17 never counts). Logs the extent.
void update_globals(ModelValues& mv, const Flags& fl, Log& log);

inline int keyKind(const State& st, int col, int row) { return keyKind(st.mv, col, row); }
inline int keyUse(const State& st, int page, int col, int row)
{
    return keyUse(st.mv, st.fl, page, col, row);
}
inline void update_globals(State& st) { update_globals(st.mv, st.fl, st.log); }

}  // namespace ptu
