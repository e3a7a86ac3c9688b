#pragma once

// Texts shared by the tests of both EditControl implementations, with what
// the in-memory control answers for them: every line break counts as two.
#include <QByteArray>

#include <vector>

struct EditText {
    const char* name;
    QByteArray bytes;
    long length;
    std::vector<long> lineStarts;
    std::vector<int> lineLengths;
};

inline std::vector<EditText> editTexts()
{
    return {
        {"empty", "", 0, {0}, {0}},
        {"crlf", "ab\r\ncd\r\n", 8, {0, 4, 8}, {2, 2, 0}},
        {"lf", "ab\ncd\n", 8, {0, 4, 8}, {2, 2, 0}},
        {"mixed", "a\r\nbb\nccc\rd", 13, {0, 3, 7, 12}, {1, 2, 3, 1}},
        {"no final break", "x\ny", 4, {0, 3}, {1, 1}},
        {"only breaks", "\n\n\r\n\n", 8, {0, 2, 4, 6, 8}, {0, 0, 0, 0, 0}},
        {"zero byte", QByteArray("a\0b\nc", 5), 6, {0, 5}, {3, 1}},
    };
}
