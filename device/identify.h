// Keyboard identification: the adjustments made to the registers after each
// reading, and the model values derived from them.
#pragma once

#include "keydata/models.h"
#include "keydata/state.h"

namespace ptu {

// Runs after an INFO reply's register frame was unpacked into r2a, r2e, r29,
// r28 and r27: adjusts the registers and derives kbb_f, kbp_f, kbt_f, lmt.
void infoIdentify(State& st);

// The values demo mode works with instead of a keyboard.
void loadDemoValues(State& st);

// Register normalisation after the transfer of a Read (driver keyboards).
void readNormalise(State& st);

// The typematic rule: typematic off unless the keyboard may switch it
// (r2e 0x64 on the models that ask for it).
void typematicRule(State& st);

// The feature bits of the small and large single-page models: hot key off
// with pad_f, m60_f or capj_f; typematic off with pad_f.
void modelFeatureBits(State& st);

// Memory size from r2a bits 5..3.
int memorySize(uint8_t r2a);

}  // namespace ptu
