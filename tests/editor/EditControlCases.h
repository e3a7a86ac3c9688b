#pragma once

// Texts shared by the tests of both EditControl implementations.
#include <QByteArray>

#include <vector>

struct EditText {
    const char* name;
    QByteArray bytes;
};

inline std::vector<EditText> editTexts()
{
    return {
        {"empty", ""},
        {"crlf", "int a;\r\n{\r\n\tb();\r\n}\r\n"},
        {"lf", "int a;\n{\n\tb();\n}\n"},
        {"mixed", "one\r\ntwo\nthree\rfour\r\n"},
        {"no final break", "first\nsecond"},
        {"blank lines", "\n\n\r\n\n"},
        {"zero byte", QByteArray("a\0b\nc", 5)},
    };
}
