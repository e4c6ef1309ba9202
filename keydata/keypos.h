// The compiled-in key positions of the 18 keyboard models and the per-model
// values that follow from them.
#pragma once

#include <cstdint>

namespace ptu {

constexpr int kModels = 18;

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

// Pages shown per model.
extern const int pn[kModels];

// keypos[kbt_f][slot].
extern const KeySlot keypos[kModels][176];

}  // namespace ptu
