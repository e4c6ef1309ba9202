#include <cstdio>

int main()
{
    std::fprintf(stderr, "ptu: the main window is not available yet\n");
    return 1;
}
