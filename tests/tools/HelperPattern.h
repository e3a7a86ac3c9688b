#pragma once

// The lines the tool helper floods its streams with, shared by the helper
// and the tests that check every byte arrived: "<tag> <number> xxx...x" of
// kFloodLineLength bytes before the line feed.
#include <cstdio>
#include <string>

namespace toolhelper {

constexpr int kFloodLineLength = 999;

inline std::string floodLine(char tag, long index)
{
    char head[32];
    std::snprintf(head, sizeof head, "%c %09ld ", tag, index);
    std::string line(head);
    line.resize(kFloodLineLength, static_cast<char>('a' + index % 26));
    return line;
}

// Lines needed for at least the given number of bytes.
inline long floodLineCount(long bytes)
{
    return (bytes + kFloodLineLength) / (kFloodLineLength + 1);
}

} // namespace toolhelper
