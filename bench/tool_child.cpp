// Writes N short gcc-like diagnostic lines to standard error (default
// 1,000,000), as a compile of a very broken project would.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    static char buffer[1 << 16];
    std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
    for (long i = 0; i < lines; ++i)
        std::fprintf(stderr, "src/mod%ld.c:%ld:5: error: bad thing\n", i % 97, i % 5000 + 1);
    std::fflush(stderr);
    return 0;
}
