// Progress texts on standard error: one line updated in place on a
// terminal, one line each elsewhere.
#include "platform/console.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ptu;

namespace {

std::string written(bool terminal)
{
    char* text = nullptr;
    size_t size = 0;
    std::FILE* fp = open_memstream(&text, &size);
    ConsoleLines lines(fp, terminal);
    lines.progress("Reading 8K Keyboard Data ...");
    lines.progress(" 0% Keyboard Reading has Completed ");
    lines.progress(" 50% Keyboard Reading has Completed ");
    lines.line("ptu: a warning");
    lines.progress(" 100% Keyboard Reading has Completed ");
    lines.finish();
    lines.finish();
    std::fclose(fp);
    std::string out(text, size);
    std::free(text);
    return out;
}

}  // namespace

TEST(ConsoleLines, PercentagesShareOneLineOnlyOnATerminal)
{
    EXPECT_EQ(written(true), "Reading 8K Keyboard Data ...\n"
                             "\r 0% Keyboard Reading has Completed \033[K"
                             "\r 50% Keyboard Reading has Completed \033[K\n"
                             "ptu: a warning\n"
                             "\r 100% Keyboard Reading has Completed \033[K\n");
    EXPECT_EQ(written(false), "Reading 8K Keyboard Data ...\n"
                              " 0% Keyboard Reading has Completed \n"
                              " 50% Keyboard Reading has Completed \n"
                              "ptu: a warning\n"
                              " 100% Keyboard Reading has Completed \n");
}
