#include "keydata/models.h"

#include "keydata/keypos.h"

namespace ptu {

namespace {

constexpr const char* kNames[kModels] = {
    "176 keys with 2K memory",         "55 keys with 2K memory", "112 keys with 2K memory, QX-61",
    "112 keys with 8K memory",         "136 keys with 8K memory, QX-62", "QX-11",
    "QX-21",                           "QX-41",                  "QX-42",
    "QX-43",                           "QX-51",                  "QX-22, QX-23",
    "QX-32",                           "QX-63",                  "QX-44",
    "QX-33",                           "QX-24",                  "QX-71",
};

}  // namespace

const char* modelName(int kbt) { return kbt >= 0 && kbt < kModels ? kNames[kbt] : nullptr; }

int defaultMemory(int kbt) { return kbt <= 2 ? 2048 : 8192; }

}  // namespace ptu
