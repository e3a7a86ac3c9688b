#include "editor/SourceText.h"

#include <gtest/gtest.h>

// Which line break a file uses is pinned where a source window takes it on
// (SourceDocument.LoadsAndSavesByteForByte).

TEST(SourceText, Utf8Validation)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        bool valid;
    };
    const Row rows[] = {
        {"empty", "", true},
        {"ascii", "int main() { return 0; }\r\n", true},
        {"zero byte", QByteArray("a\0b", 3), true},
        {"two-byte e acute", "caf\xC3\xA9", true},
        {"three-byte euro", "\xE2\x82\xAC", true},
        {"four-byte emoji", "\xF0\x9F\x98\x80", true},
        {"latin-1 e acute", "caf\xE9", false},
        {"truncated at end", "ab\xE2\x82", false},
        {"lone continuation", "\x80", false},
        {"overlong slash", "\xC0\xAF", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sourcetext::isValidUtf8(row.bytes), row.valid) << row.name;
}

TEST(SourceText, ConvertLineBreaks)
{
    EXPECT_EQ(sourcetext::convertLineBreaks("a\nb\r\nc\rd", "\r\n"),
              QByteArray("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(sourcetext::convertLineBreaks("a\r\nb\r\n", "\n"), QByteArray("a\nb\n"));
    EXPECT_EQ(sourcetext::convertLineBreaks("\r\r\n\n", "\n"), QByteArray("\n\n\n"));
    EXPECT_EQ(sourcetext::convertLineBreaks(QByteArray("x\0\ny", 4), "\r\n"),
              QByteArray("x\0\r\ny", 5));
}
