// A small child program for the runner tests, one behaviour per first
// argument:
//   (none)             "no arguments" on standard output
//   args A B ...       "argc=N" and then each argument on its own line, on
//                      standard error
//   flood BYTES        BYTES of numbered lines on standard output and on
//                      standard error, interleaved
//   out-hex HEX        the bytes HEX on standard output
//   err-hex HEX        the bytes HEX on standard error
//   stdin              reads standard input to its end, then reports the
//                      byte count on standard error
//   cwd                the current directory on standard error
//   sleep MS           waits MS milliseconds, then "slept" on standard error
//   exit               ends at once, writing nothing
#include "HelperPattern.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace {

std::string fromHex(const char* hex)
{
    std::string bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], 0};
        bytes.push_back(static_cast<char>(std::strtol(pair, nullptr, 16)));
    }
    return bytes;
}

void writeAll(std::FILE* stream, const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

int flood(long bytes)
{
    static char outBuffer[1 << 16], errBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    std::setvbuf(stderr, errBuffer, _IOFBF, sizeof errBuffer);
    const long lines = toolhelper::floodLineCount(bytes);
    for (long i = 0; i < lines; ++i) {
        std::fputs((toolhelper::floodLine('o', i) + "\n").c_str(), stdout);
        std::fputs((toolhelper::floodLine('e', i) + "\n").c_str(), stderr);
    }
    std::fflush(stdout);
    std::fflush(stderr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 1) {
        writeAll(stdout, "no arguments\n");
    } else if (mode == "args") {
        std::string text = "argc=" + std::to_string(argc - 1) + "\n";
        for (int i = 1; i < argc; ++i)
            text += std::string(argv[i]) + "\n";
        writeAll(stderr, text);
    } else if (mode == "flood" && argc > 2) {
        return flood(std::atol(argv[2]));
    } else if (mode == "out-hex" && argc > 2) {
        writeAll(stdout, fromHex(argv[2]));
    } else if (mode == "err-hex" && argc > 2) {
        writeAll(stderr, fromHex(argv[2]));
    } else if (mode == "stdin") {
        long count = 0;
        while (std::fgetc(stdin) != EOF)
            ++count;
        writeAll(stderr, "read " + std::to_string(count) + " bytes\n");
    } else if (mode == "cwd") {
        writeAll(stderr, std::filesystem::current_path().string() + "\n");
    } else if (mode == "sleep" && argc > 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(argv[2])));
        writeAll(stderr, "slept\n");
    } else if (mode == "exit") {
        return 0;
    } else {
        writeAll(stderr, "unknown mode\n");
        return 2;
    }
    return 0;
}
