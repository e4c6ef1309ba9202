// The published interface document against the code: its frame table, its
// operation table (code, lengths, wait, deadline) and the USB library's
// prototypes and register places must say what the program does. A number
// changed on one side only fails here.
#include "device/usb.h"
#include "platform/devframe.h"
#include "platform/driver_protocol.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#ifndef PTU_SOURCE_DIR
#error "PTU_SOURCE_DIR must name the source tree"
#endif

namespace ptu {
namespace {

using Row = std::vector<std::string>;

std::string slurp(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string trim(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t");
    const auto b = s.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// The body rows of the first table whose header row starts with `header`.
std::vector<Row> table(const std::string& doc, const std::string& header)
{
    std::vector<Row> rows;
    std::istringstream in(doc);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside) {
            inside = line.rfind(header, 0) == 0;
            if (inside) std::getline(in, line);  // the |---| row
            continue;
        }
        if (line.empty() || line[0] != '|') break;
        Row cells;
        std::stringstream cs(line.substr(1));
        std::string cell;
        while (std::getline(cs, cell, '|')) cells.push_back(trim(cell));
        rows.push_back(cells);
    }
    return rows;
}

// "16", "kbb", "2 x kbb + 4".
driver::Length length(const std::string& text)
{
    std::smatch m;
    if (std::regex_match(text, m, std::regex(R"((?:(\d+) x )?kbb(?: \+ (\d+))?)")))
        return {m[1].matched ? uint32_t(std::stoul(m[1])) : 1u, m[2].matched ? uint32_t(std::stoul(m[2])) : 0u};
    return {0, uint32_t(std::stoul(text))};
}

int milliseconds(const std::string& text) { return text == "none" ? 0 : std::stoi(text); }

class DriverInterfaceDoc : public ::testing::Test {
protected:
    std::string doc = slurp(PTU_SOURCE_DIR "/docs/driver-interface.md");
};

TEST_F(DriverInterfaceDoc, OperationTableIsTheCodesOwn)
{
    const auto rows = table(doc, "| Operation | Mode | Function | Code | Input length | Output length |");
    ASSERT_EQ(rows.size(), std::size(driver::kOperations));
    for (const driver::Operation& op : driver::kOperations) {
        const Row* found = nullptr;
        for (const Row& r : rows)
            if (!r.empty() && r[0] == op.name) found = &r;
        ASSERT_NE(found, nullptr) << op.name;
        const Row& r = *found;
        ASSERT_EQ(r.size(), 9u) << op.name;
        EXPECT_EQ(r[1] == "-" ? 0 : std::stoi(r[1]), op.mode) << op.name;
        EXPECT_EQ(std::stoul(r[2]), op.function) << op.name;
        EXPECT_EQ(std::stoul(r[3], nullptr, 16), op.code()) << op.name;
        const driver::Length in = length(r[4]), out = length(r[5]);
        EXPECT_EQ(in.perKbb, op.in.perKbb) << op.name;
        EXPECT_EQ(in.fixed, op.in.fixed) << op.name;
        EXPECT_EQ(out.perKbb, op.out.perKbb) << op.name;
        EXPECT_EQ(out.fixed, op.out.fixed) << op.name;
        EXPECT_EQ(milliseconds(r[6]), op.waitBeforeMs) << op.name;
        EXPECT_EQ(milliseconds(r[7]), op.deadlineMs) << op.name;
        EXPECT_EQ(milliseconds(r[7]), driver::deadlineMs(op.code())) << op.name;
        EXPECT_EQ(r[8] != "no", op.sent) << op.name;
    }
}

TEST_F(DriverInterfaceDoc, FrameTableIsTheFramesOwn)
{
    const auto rows = table(doc, "| Direction | Offset | Size | Field |");
    // Field texts begin with these words; the offsets are the code's.
    const std::map<std::string, size_t> offsets = {
        {"request request code", frame::kRequestCode}, {"request input length", frame::kRequestInLen},
        {"request output length", frame::kRequestOutLen}, {"request the input bytes", frame::kHeaderBytes},
        {"reply success", frame::kReplySuccess},        {"reply error number", frame::kReplyError},
        {"reply returned count", frame::kReplyCount},   {"reply the reply bytes", frame::kHeaderBytes},
    };
    size_t matched = 0;
    for (const Row& r : rows) {
        ASSERT_EQ(r.size(), 4u);
        for (const auto& [key, offset] : offsets) {
            const std::string direction = key.substr(0, key.find(' '));
            const std::string field = key.substr(direction.size() + 1);
            if (r[0] != direction || r[3].rfind(field, 0) != 0) continue;
            ++matched;
            EXPECT_EQ(std::stoul(r[1]), offset) << key;
            if (offset < frame::kHeaderBytes) {
                EXPECT_EQ(std::stoul(r[2]), frame::kFieldBytes) << key;
            }
        }
    }
    EXPECT_EQ(matched, offsets.size());
    EXPECT_EQ(rows.size(), offsets.size());

    const auto limit = table(doc, "| Limit | Value |");
    ASSERT_EQ(limit.size(), 1u);
    EXPECT_EQ(std::stoul(limit[0][1]), frame::kMaxBytes);
}

TEST_F(DriverInterfaceDoc, UsbEntriesAreTheHeadersAndTheRegistersSitWhereTheProgramReadsThem)
{
    const std::string header = slurp(PTU_SOURCE_DIR "/include/ptu/hidpad.h");
    const auto entries = table(doc, "| Entry | C prototype |");
    ASSERT_EQ(entries.size(), 6u);
    for (const Row& r : entries) {
        ASSERT_GE(r.size(), 2u);
        const std::string prototype = r[1].substr(1, r[1].size() - 2);  // inside the backticks
        EXPECT_NE(header.find("HIDPAD_API " + prototype), std::string::npos) << prototype;
        EXPECT_NE(prototype.find(" " + r[0] + "("), std::string::npos) << r[0];
    }

    // The image's table (after the configuration block's, which has the
    // same header); its register rows name the register alone.
    const size_t image = doc.find("fixed places of the USB image");
    ASSERT_NE(image, std::string::npos);
    std::map<std::string, int> place;
    for (const Row& r : table(doc.substr(image), "| Byte | Content |")) place[r[1]] = std::atoi(r[0].c_str());
    EXPECT_EQ(place["r2a"], kUsbR2a);
    EXPECT_EQ(place["r28"], kUsbR28);
    EXPECT_EQ(place["r27"], kUsbR27);
    EXPECT_EQ(place["r29"], kUsbR29);
    EXPECT_EQ(place["ldt"], 0);
}

}  // namespace
}  // namespace ptu
