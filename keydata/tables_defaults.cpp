// The default code lists, used by the fixed key texts: 112 entries of at most
// two bytes each, 0-padded; {} is an empty entry.
#include "keydata/tables_rows.h"

namespace ptu {
namespace {

constexpr DefaultList us = {{
    /*   0 */ {0x49},
    /*   1 */ {0x48},
    /*   2 */ {0x47},
    /*   3 */ {0x0E},
    /*   4 */ {0x0D},
    /*   5 */ {0x0C},
    /*   6 */ {0x0B},
    /*   7 */ {0x0A},
    /*   8 */ {0x09},
    /*   9 */ {0x08},
    /*  10 */ {0x07},
    /*  11 */ {0x06},
    /*  12 */ {0x05},
    /*  13 */ {0x04},
    /*  14 */ {0x03},
    /*  15 */ {0x02},
    /*  16 */ {0x4D},
    /*  17 */ {0x4C},
    /*  18 */ {0x4B},
    /*  19 */ {0x2B},
    /*  20 */ {0x1B},
    /*  21 */ {0x1A},
    /*  22 */ {0x19},
    /*  23 */ {0x18},
    /*  24 */ {0x17},
    /*  25 */ {0x16},
    /*  26 */ {0x15},
    /*  27 */ {0x14},
    /*  28 */ {0x13},
    /*  29 */ {0x12},
    /*  30 */ {0x11},
    /*  31 */ {0x10},
    /*  32 */ {0x51},
    /*  33 */ {0x50},
    /*  34 */ {0x4F},
    /*  35 */ {0x1C},
    /*  36 */ {},
    /*  37 */ {0x28},
    /*  38 */ {0x27},
    /*  39 */ {0x26},
    /*  40 */ {0x25},
    /*  41 */ {0x24},
    /*  42 */ {0x23},
    /*  43 */ {0x22},
    /*  44 */ {0x21},
    /*  45 */ {0x20},
    /*  46 */ {0x1F},
    /*  47 */ {0x1E},
    /*  48 */ {0x53},
    /*  49 */ {0x0B, 0x0B},
    /*  50 */ {0x52},
    /*  51 */ {0x36},
    /*  52 */ {},
    /*  53 */ {0x35},
    /*  54 */ {0x34},
    /*  55 */ {0x33},
    /*  56 */ {0x32},
    /*  57 */ {0x31},
    /*  58 */ {0x30},
    /*  59 */ {0x2F},
    /*  60 */ {0x2E},
    /*  61 */ {0x2D},
    /*  62 */ {0x2C},
    /*  63 */ {},
    /*  64 */ {},
    /*  65 */ {},
    /*  66 */ {},
    /*  67 */ {},
    /*  68 */ {},
    /*  69 */ {},
    /*  70 */ {0xE0, 0x5D},
    /*  71 */ {0xE0, 0x5C},
    /*  72 */ {},
    /*  73 */ {},
    /*  74 */ {0x39},
    /*  75 */ {},
    /*  76 */ {0xE0, 0x5B},
    /*  77 */ {},
    /*  78 */ {},
    /*  79 */ {0x2A},
    /*  80 */ {},
    /*  81 */ {},
    /*  82 */ {},
    /*  83 */ {},
    /*  84 */ {0xE0, 0x1D},
    /*  85 */ {},
    /*  86 */ {},
    /*  87 */ {},
    /*  88 */ {},
    /*  89 */ {},
    /*  90 */ {0x3A},
    /*  91 */ {0x0F},
    /*  92 */ {0x29},
    /*  93 */ {},
    /*  94 */ {0x1D},
    /*  95 */ {},
    /*  96 */ {},
    /*  97 */ {},
    /*  98 */ {},
    /*  99 */ {},
    /* 100 */ {},
    /* 101 */ {0xE0, 0x38},
    /* 102 */ {},
    /* 103 */ {},
    /* 104 */ {},
    /* 105 */ {},
    /* 106 */ {},
    /* 107 */ {},
    /* 108 */ {},
    /* 109 */ {0x38},
    /* 110 */ {},
    /* 111 */ {},
}};

// The other lists differ from the US one only in entries 19, 36, 51 and 52.
constexpr DefaultList differing(DefaultCode e19, DefaultCode e36, DefaultCode e51, DefaultCode e52)
{
    DefaultList d = us;
    d[19] = e19;
    d[36] = e36;
    d[51] = e51;
    d[52] = e52;
    return d;
}

constexpr DefaultCode none{};

}  // namespace

//                                          entry 19  entry 36  entry 51  entry 52
constinit const DefaultList usDefaults = us;
constinit const DefaultList ukDefaults = differing({0x2B},   {0x2B},   {0x36},   {0x56});
constinit const DefaultList esDefaults = differing(none,     {0x2B},   {0x36},   {0x56});
constinit const DefaultList deDefaults = differing(none,     {0x2B},   {0x36},   {0x56});
constinit const DefaultList frDefaults = differing(none,     {0x2B},   {0x36},   {0x56});
constinit const DefaultList ptDefaults = differing(none,     {0x2B},   none,     {0x36});
constinit const DefaultList noDefaults = differing(none,     {0x2B},   none,     {0x36});
constinit const DefaultList itDefaults = differing(none,     {0x2B},   none,     {0x36});

}  // namespace ptu
