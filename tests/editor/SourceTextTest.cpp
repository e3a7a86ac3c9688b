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
    // The same after long runs of ASCII, which are checked a block at a
    // time: the sequence at, across and just past a block's edge, and
    // followed by more ASCII.
    for (const Row& row : rows) {
        for (const int before : {31, 32, 33, 62, 63, 64, 65, 100}) {
            for (const int after : {0, 1, 40}) {
                const QByteArray bytes = QByteArray(before, 'x') + row.bytes + QByteArray(after, 'y');
                EXPECT_EQ(sourcetext::isValidUtf8(bytes), row.valid)
                    << row.name << " after " << before << " and before " << after << " ASCII bytes";
            }
        }
    }
    // A high byte anywhere in a long ASCII text is seen.
    for (const int at : {0, 7, 8, 31, 32, 63, 64, 1000, 4095}) {
        QByteArray bytes(4096, 'a');
        bytes[at] = char(0xE9);
        EXPECT_FALSE(sourcetext::isValidUtf8(bytes)) << "Latin-1 byte at " << at;
    }
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
