// The parser against what it was not shown: every line of the recorded
// transcripts written back in gdb's notation and read again, and each line
// with single bytes changed to the characters that steer the parse. Run
// under AddressSanitizer in CI, this also shows that no malformed line is
// read past its end.
#include "debugger/MiParser.h"
#include "support/MiNotation.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QList<QByteArray> transcriptLines()
{
    QList<QByteArray> lines;
    for (const char* name : {"steps.mi", "crash.mi", "blank.mi", "latin1.mi", "quoting.mi"}) {
        QFile file(QStringLiteral(TARN_MI_TRANSCRIPTS "/") + QString::fromUtf8(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                lines.append(line);
        }
    }
    return lines;
}

// The record's results written back the way gdb writes them.
QByteArray resultsNotation(const MiRecord& record)
{
    QByteArray out;
    for (const MiResult& item : record.results.items()) {
        out += ',';
        if (!item.name.isEmpty())
            out += item.name + '=';
        out += MiNotation(item.value);
    }
    return out;
}

TEST(MiRobustness, TranscriptLinesReadBackFromTheirNotation)
{
    const QList<QByteArray> lines = transcriptLines();
    ASSERT_GT(lines.size(), 100);
    int compared = 0;
    for (const QByteArray& line : lines) {
        SCOPED_TRACE(line.constData());
        const MiRecord record = ParseMiLine(line);
        ASSERT_NE(record.type, MiRecordType::Malformed) << record.error.constData();
        if (record.type == MiRecordType::Result) {
            const QByteArray again = QByteArray::number(*record.token) + '^' + record.resultClass +
                                     resultsNotation(record);
            // gdb quotes as MiNotation does, so the line comes back unchanged.
            EXPECT_EQ(again, line);
            EXPECT_EQ(ParseMiLine(again).results, record.results);
            ++compared;
        } else if (record.type == MiRecordType::ConsoleStream) {
            MiValue text = MiValue::string(record.stream);
            EXPECT_EQ(ParseMiLine('~' + MiNotation(text)).stream, record.stream);
        }
    }
    EXPECT_GT(compared, 40);
}

TEST(MiRobustness, ChangedBytesNeverCrash)
{
    const QList<QByteArray> lines = transcriptLines();
    const char steer[] = {'"', '\\', '{', '}', '[', ']', ',', '=', '\0', '\r'};
    long malformed = 0;
    long parsed = 0;
    for (const QByteArray& line : lines) {
        for (qsizetype at = 0; at < line.size(); ++at) {
            for (const char c : steer) {
                QByteArray changed = line;
                changed[at] = c;
                const MiRecord record = ParseMiLine(changed);
                ++parsed;
                if (record.type == MiRecordType::Malformed) {
                    ++malformed;
                    ASSERT_TRUE(record.error.startsWith("column ")) << changed.constData();
                    ASSERT_EQ(record.line, changed);
                }
            }
        }
    }
    // Most changes break the line; some (a byte inside a string) do not.
    EXPECT_GT(malformed, parsed / 4);
    EXPECT_LT(malformed, parsed);
}

} // namespace
