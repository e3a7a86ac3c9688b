// Output of the host's gdb 13 (--interpreter=mi3 -nx -q), recorded on the
// small programs beside the transcripts (see transcripts/README): every line
// parses, every command gets exactly one answer, and chosen values are read
// back as gdb meant them.
#include "debugger/MiCommand.h"
#include "debugger/MiParser.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <array>

namespace {

QByteArray readTranscript(const char* name)
{
    QFile file(QStringLiteral(TARN_MI_TRANSCRIPTS "/") + QString::fromUtf8(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The records of a transcript fed in pieces of 7 bytes, as reads from a pipe
// cut it anywhere.
std::vector<MiRecord> parseTranscript(const char* name)
{
    const QByteArray bytes = readTranscript(name);
    EXPECT_FALSE(bytes.isEmpty()) << name;
    MiStreamParser parser;
    std::vector<MiRecord> records;
    for (qsizetype at = 0; at < bytes.size(); at += 7)
        parser.feed(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(7, bytes.size() - at)),
                    records);
    return records;
}

const MiRecord& answerTo(const std::vector<MiRecord>& records, quint64 token)
{
    static const MiRecord none;
    for (const MiRecord& record : records) {
        if (record.type == MiRecordType::Result && record.token == token)
            return record;
    }
    ADD_FAILURE() << "no answer to " << token;
    return none;
}

// The records of one kind and class, in order.
std::vector<const MiRecord*> recordsOf(const std::vector<MiRecord>& records, MiRecordType type,
                                       const char* cls)
{
    std::vector<const MiRecord*> found;
    for (const MiRecord& record : records) {
        if (record.type == type && record.resultClass == cls)
            found.push_back(&record);
    }
    return found;
}

class MiTranscript : public ::testing::TestWithParam<const char*> {};

TEST_P(MiTranscript, EveryLineParsesAndEveryCommandIsAnsweredOnce)
{
    const std::string name = GetParam();
    const std::vector<MiRecord> records = parseTranscript((name + ".mi").c_str());
    ASSERT_GT(records.size(), 10u);
    int prompts = 0;
    for (const MiRecord& record : records) {
        EXPECT_NE(record.type, MiRecordType::Malformed)
            << record.error.constData() << " in: " << record.line.constData();
        prompts += record.type == MiRecordType::Prompt;
    }
    // The script's commands, composed again with the same tokens, are each
    // answered by exactly one result record.
    const QList<QByteArray> commands = readTranscript((name + ".cmds").c_str()).split('\n');
    MiCommandTokens tokens;
    int sent = 0;
    for (const QByteArray& command : commands) {
        if (command.isEmpty())
            continue;
        const auto composed = tokens.compose(command.mid(command.indexOf('-')));
        EXPECT_EQ(composed.line, command + '\n') << "tokens count from 1, one per line";
        ++sent;
    }
    int answered = 0;
    for (const MiRecord& record : records) {
        if (record.type == MiRecordType::Result) {
            EXPECT_TRUE(tokens.answer(record).has_value()) << "token " << record.token.value_or(0);
            ++answered;
        }
    }
    EXPECT_EQ(answered, sent);
    EXPECT_EQ(tokens.waitingCount(), 0);
    EXPECT_GE(prompts, sent);
}

INSTANTIATE_TEST_SUITE_P(Recorded, MiTranscript,
                         ::testing::Values("steps", "crash", "blank", "latin1", "quoting"));

TEST(MiTranscriptValues, PathsWithBlanks)
{
    const std::vector<MiRecord> records = parseTranscript("blank.mi");
    EXPECT_TRUE(answerTo(records, 2).isResult("error"));
    const MiValue& bkpt = answerTo(records, 3).results["bkpt"];
    EXPECT_EQ(bkpt["file"].bytes(), "dir with blank/file with blank.c");
    EXPECT_EQ(bkpt["line"].number(), 3);
    EXPECT_EQ(answerTo(records, 4).results["bkpt"]["line"].number(), 4);
    EXPECT_EQ(answerTo(records, 5).results["msg"].bytes(), "No source file named nosuchfile.c.");
    const auto stops = recordsOf(records, MiRecordType::ExecAsync, "stopped");
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_TRUE(stops[0]->results["frame"]["fullname"].bytes().endsWith(
        "/dir with blank/file with blank.c"));
    // Two words after "one": argc is 3.
    EXPECT_EQ(stops[0]->results["frame"]["args"].at(0)["value"].bytes(), "3");
    EXPECT_EQ(answerTo(records, 8).results["variables"].at(1)["name"].bytes(), "doubled");
}

TEST(MiTranscriptValues, NamesAndValuesThatAreNotUtf8KeepTheirBytes)
{
    const std::vector<MiRecord> records = parseTranscript("latin1.mi");
    const MiValue& bkpt = answerTo(records, 2).results["bkpt"];
    EXPECT_EQ(bkpt["file"].bytes(), QByteArray("caf\xe9.c"));
    EXPECT_TRUE(bkpt["fullname"].bytes().endsWith(QByteArray("/caf\xe9.c")));
    // Shown leniently: the byte that is not UTF-8 becomes U+FFFD.
    EXPECT_EQ(bkpt["file"].text(), QStringLiteral("caf\uFFFD.c"));

    const auto stops = recordsOf(records, MiRecordType::ExecAsync, "stopped");
    ASSERT_EQ(stops.size(), 3u);
    EXPECT_EQ(stops[0]->results["frame"]["file"].bytes(), QByteArray("caf\xe9.c"));
    EXPECT_EQ(stops[0]->results["frame"]["line"].number(), 5);
    // gdb's C notation of the argument: its own escapes for the bytes that are
    // not UTF-8, the UTF-8 letter as its two bytes.
    EXPECT_EQ(stops[0]->results["frame"]["args"].at(0)["value"].bytes().mid(14),
              QByteArray(" \"caf\\351 \\377\\376\xc3\xa9\""));
    EXPECT_EQ(answerTo(records, 6).results["variables"].at(0)["value"].bytes(),
              QByteArray("\"caf\\351 \\377\\376\xc3\xa9\\000\\000\\000\\000\\000\\000\""));
    EXPECT_EQ(stops[1]->results["return-value"].number(), 5);
    EXPECT_EQ(stops[2]->results["exit-code"].bytes(), "05");
}

// The commands of quoting.cmds are what MiCommandLine writes, byte for byte,
// and gdb read each argument back as it was meant.
TEST(MiTranscriptValues, ComposedCommandsAreReadByGdb)
{
    const std::array<QByteArray, 6> composed = {
        MiCommandLine(1, "-break-insert", {MiLocation("caf\xe9.c", 6)}),
        MiCommandLine(2, "-break-insert", {"--source", "caf\xe9.c", "--line", "7"}),
        MiCommandLine(3, "-break-insert",
                      {MiLocation("/tmp/mirec/dir with blank/file with blank.c", 3)}),
        MiCommandLine(4, "-interpreter-exec", {"console", "echo caf\xe9 \"q\" \\\\ end\\n"}),
        MiCommandLine(5, "-data-evaluate-expression", {"sizeof(\"caf\xe9 x\")"}),
        MiCommandLine(6, "-gdb-exit"),
    };
    QByteArray script;
    for (const QByteArray& line : composed)
        script += line;
    EXPECT_EQ(script, readTranscript("quoting.cmds"));

    const std::vector<MiRecord> records = parseTranscript("quoting.mi");
    EXPECT_EQ(answerTo(records, 1).results["bkpt"]["line"].number(), 6);
    EXPECT_EQ(answerTo(records, 2).results["bkpt"]["original-location"].bytes(),
              QByteArray("-source caf\xe9.c -line 7"));
    // The whole path with its blanks reached gdb as one name.
    EXPECT_EQ(answerTo(records, 3).results["msg"].bytes(),
              "No source file named /tmp/mirec/dir with blank/file with blank.c.");
    QByteArray echoed;
    for (const MiRecord* r : recordsOf(records, MiRecordType::ConsoleStream, ""))
        echoed = r->stream;
    EXPECT_EQ(echoed, QByteArray("caf\xe9 \"q\" \\ end\n"));
    EXPECT_EQ(answerTo(records, 5).results["value"].number(), 7);
}

} // namespace
