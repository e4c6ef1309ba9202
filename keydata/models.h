// The keyboard models by index (kbt_f 0..17): the name a person knows them
// by, and the memory size a data file of the model has unless told.
#pragma once

namespace ptu {

// "176 keys with 2K memory", "QX-11", ...; nullptr outside 0..17.
const char* modelName(int kbt);

// 2048 for models 0, 1 and 2, else 8192.
int defaultMemory(int kbt);

}  // namespace ptu
