// Progress texts on standard error: one line updated in place on a
// terminal, one line each elsewhere.
#include "platform/console.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(ConsoleLines, PercentagesShareOneLineOnlyOnATerminal)
{
    for (bool terminal : {true, false}) {
        char* text = nullptr;
        size_t size = 0;
        std::FILE* fp = open_memstream(&text, &size);
        ptu::ConsoleLines lines(fp, terminal);
        for (const char* t : {"Reading ...", " 0% Done ", " 50% Done "}) lines.progress(t);
        lines.line("ptu: a warning");
        lines.progress(" 100% Done ");
        lines.finish();
        std::fclose(fp);
        EXPECT_EQ(std::string(text, size),
                  terminal ? "Reading ...\n\r 0% Done \033[K\r 50% Done \033[K\nptu: a warning\n\r 100% Done \033[K\n"
                           : "Reading ...\n 0% Done \n 50% Done \nptu: a warning\n 100% Done \n");
        std::free(text);
    }
}
