// The model table and the USB type table, row by row, against the keyboards'
// documented tables: a corrected row must reach the program, ptu-tpl and the
// tests alike.
#include "keydata/models.h"

#include <gtest/gtest.h>

namespace ptu {
namespace {

constexpr char P[] = " Tessaral Programmable Keyboard ";
constexpr char U[] = " Tessaral USB Programmable Keyboard ";
constexpr ModelSwitches none{}, pad{.pad_f = 1}, pad2{.pad_f = 2}, m60{.m60_f = 1}, m84{.m84_f = 1},
    m70{.m70_f = 1}, m17{.m17_f = 1};

struct Model {
    const char* names;
    int shown;
    const char* captionFile;
    const char* progress;  // "": the caption read from its caption file
    ModelSwitches road;    // the USB-only models: the flags of their USB type
    int memory, kept, kmax;
};
const Model kDocumented[kModels] = {
    {"176 keys with 2K memory", 1, "ptu.ini", P, none, 2048, 1, 175},
    {"55 keys with 2K memory", 1, "ptu.ini", P, none, 2048, 1, 175},
    {"112 keys with 2K memory, QX-61", 6, "ptu.ini", P, none, 2048, 6, 175},
    {"112 keys with 8K memory", 6, "ptu.ini", P, none, 8192, 6, 175},
    {"136 keys with 8K memory, QX-62", 6, "ptu.ini", P, none, 8192, 6, 175},
    {"QX-11", 1, "ptu40.ini", " Tessaral QX-11 Programmable Keyboard ", pad, 8192, 1, 175},
    {"QX-21", 1, "ptu40kp1.ini", " Tessaral QX-21  Programmable Keyboard ", pad, 8192, 1, 175},
    {"QX-41", 1, "ptu102.ini", " Tessaral QX-41 Programmable Keyboard ", m60, 8192, 1, 175},
    {"QX-42", 1, "ptu.ini", " Tessaral QX-42 Programmable Keyboard ", m60, 8192, 1, 175},
    {"QX-43", 6, "ptu84.ini", " Tessaral QX-43 Programmable Keyboard ", m84, 8192, 6, 127},
    {"QX-51", 1, "ptu17.ini", " Tessaral QX-51 Programmable Keyboard ", m17, 8192, 6, 175},
    {"QX-22, QX-23", 6, "ptu40kp2.ini", " Tessaral QX-22  Programmable Keyboard ", pad, 8192, 6, 175},
    {"QX-32", 1, "ptu40dt.ini", " Tessaral QX-32 Programmable Keyboard ", pad2, 8192, 1, 175},
    {"QX-63", 6, "uptu.ini", U, m84, 8192, 6, 127},
    {"QX-44", 6, "ptu70.ini", "", m70, 8192, 6, 127},
    {"QX-33", 1, "uptu.ini", U, pad, 8192, 1, 175},
    {"QX-24", 1, "uptu.ini", U, m84, 8192, 6, 175},
    {"QX-71", 1, "uptu.ini", U, m84, 8192, 6, 175},
};

struct Type {
    const char* caption;
    ModelSwitches flag;
    int kbt, kbp, kmax;
};
const Type kDocumentedTypes[kUsbTypeCount] = {
    {"QX-21/25", pad, 6, 1, 175}, {"QX-22", pad, 11, 6, 175}, {"QX-23", pad, 11, 6, 175},
    {"QX-61", none, 2, 6, 175},   {"QX-62", none, 4, 6, 175}, {"QX-11", pad, 5, 1, 175},
    {"QX-41", m84, 7, 1, 175},    {"QX-42", m84, 8, 1, 175},  {"QX-43", m84, 9, 6, 175},
    {"QX-63", m84, 13, 6, 127},   {"QX-44", m70, 14, 6, 175}, {"QX-33", pad, 15, 1, 175},
    {"QX-24", m84, 16, 6, 175},   {"QX-71", m84, 17, 6, 175},
};

TEST(ModelTable, EveryRowAsDocumented)
{
    for (int m = 0; m < kModels; ++m) {
        SCOPED_TRACE("model " + std::to_string(m));
        const ModelRow& row = modelRow(m);
        const Model& doc = kDocumented[m];
        EXPECT_EQ(modelName(m), doc.names);
        EXPECT_EQ(pn[std::size_t(m)], doc.shown);
        EXPECT_STREQ(kCaptionFileNames[std::size_t(row.caption)], doc.captionFile);
        EXPECT_STREQ(row.progress ? row.progress : "", doc.progress);
        EXPECT_EQ(row.road, doc.road);
        EXPECT_EQ(defaultMemory(m), doc.memory);
        EXPECT_EQ(row.kept, doc.kept);
        EXPECT_EQ(row.kmax, doc.kmax);
    }
    for (int t = 0; t < kUsbTypeCount; ++t) {
        SCOPED_TRACE("USB type " + std::to_string(t));
        const UsbTypeRow* row = usbTypeRow(t);
        ASSERT_NE(row, nullptr);
        const Type& doc = kDocumentedTypes[t];
        EXPECT_STREQ(row->caption, doc.caption);
        EXPECT_EQ(row->flags, doc.flag);
        EXPECT_EQ(row->kbt, doc.kbt);
        EXPECT_EQ(row->kbp, doc.kbp);
        EXPECT_EQ(row->kmax, doc.kmax);
    }
    EXPECT_EQ(usbTypeRow(kUsbTypeCount), nullptr);
    EXPECT_FALSE(knownModel(-1));
    EXPECT_FALSE(knownModel(kModels));
    EXPECT_EQ(modelName(kModels), "");
}

}  // namespace
}  // namespace ptu
