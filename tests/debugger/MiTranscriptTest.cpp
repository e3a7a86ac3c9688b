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

TEST(MiTranscriptValues, StepsBreakpointStepsVariablesAndExit)
{
    const std::vector<MiRecord> records = parseTranscript("steps.mi");
    EXPECT_EQ(answerTo(records, 2).results["bkpt"]["func"].bytes(), "square");
    EXPECT_EQ(answerTo(records, 2).results["bkpt"]["thread-groups"].at(0).bytes(), "i1");

    const auto stops = recordsOf(records, MiRecordType::ExecAsync, "stopped");
    ASSERT_EQ(stops.size(), 8u);
    const MiValue& first = stops[0]->results;
    EXPECT_EQ(first["reason"].bytes(), "breakpoint-hit");
    EXPECT_EQ(first["bkptno"].number(), 2);
    EXPECT_EQ(first["frame"]["func"].bytes(), "main");
    EXPECT_EQ(first["frame"]["file"].bytes(), "steps.c");
    EXPECT_EQ(first["frame"]["line"].number(), 26);
    EXPECT_EQ(stops[1]->results["reason"].bytes(), "end-stepping-range");
    EXPECT_EQ(stops[1]->results["frame"]["line"].number(), 27);

    // The locals after three steps, and the char array with bytes that are
    // not UTF-8, in gdb's own C notation.
    const MiValue& variables = answerTo(records, 12).results["variables"];
    ASSERT_EQ(variables.size(), 4);
    EXPECT_EQ(variables.at(0)["name"].bytes(), "origin");
    EXPECT_TRUE(variables.at(0)["value"].bytes().startsWith("{x = 3, y = 4, label = 0x"));
    EXPECT_TRUE(variables.at(0)["value"].bytes().endsWith(" \"origin \\\"A\\\"\\tend\"}"));
    EXPECT_EQ(variables.at(1)["value"].bytes(), "{10, 20, 30, 40}");
    EXPECT_EQ(variables.at(2)["name"].bytes(), "bytes");
    EXPECT_EQ(variables.at(2)["value"].bytes(), "\"a\\351\\377\\n\\\\z\\000\"");

    // Variable objects: a structure's children and an array's.
    EXPECT_EQ(answerTo(records, 10).results["numchild"].number(), 3);
    const MiValue& children = answerTo(records, 11).results["children"];
    ASSERT_EQ(children.size(), 3);
    EXPECT_EQ(children.items()[0].name, "child");
    EXPECT_EQ(children.at(0)["exp"].bytes(), "x");
    EXPECT_EQ(children.at(0)["value"].bytes(), "3");
    EXPECT_EQ(children.at(2)["type"].bytes(), "const char *");
    EXPECT_EQ(answerTo(records, 14).results["children"].at(3)["value"].bytes(), "40");

    EXPECT_EQ(stops[4]->results["frame"]["line"].number(), 31);
    // Step into sum_squares, the stack of two frames, finish with its value.
    EXPECT_EQ(stops[5]->results["frame"]["func"].bytes(), "sum_squares");
    EXPECT_EQ(stops[5]->results["frame"]["args"].at(0)["value"].bytes(), "3");
    const MiValue& stack = answerTo(records, 17).results["stack"];
    ASSERT_EQ(stack.size(), 2);
    EXPECT_EQ(stack.at(1)["func"].bytes(), "main");
    EXPECT_EQ(stack.at(1)["line"].number(), 31);
    EXPECT_EQ(stops[6]->results["reason"].bytes(), "function-finished");
    EXPECT_EQ(stops[6]->results["return-value"].bytes(), "14");
    EXPECT_TRUE(answerTo(records, 20).isResult("error"));
    EXPECT_EQ(answerTo(records, 20).results["msg"].bytes(),
              "\"finish\" not meaningful in the outermost frame.");

    EXPECT_EQ(stops[7]->results["reason"].bytes(), "exited");
    EXPECT_EQ(stops[7]->results["exit-code"].bytes(), "03");
    EXPECT_TRUE(answerTo(records, 23).isResult("exit"));
}

TEST(MiTranscriptValues, CrashSignalFrameAndLocals)
{
    const std::vector<MiRecord> records = parseTranscript("crash.mi");
    const auto stops = recordsOf(records, MiRecordType::ExecAsync, "stopped");
    ASSERT_EQ(stops.size(), 2u);
    const MiValue& crash = stops[0]->results;
    EXPECT_EQ(crash["reason"].bytes(), "signal-received");
    EXPECT_EQ(crash["signal-name"].bytes(), "SIGSEGV");
    EXPECT_EQ(crash["signal-meaning"].bytes(), "Segmentation fault");
    EXPECT_EQ(crash["frame"]["func"].bytes(), "walk");
    EXPECT_EQ(crash["frame"]["file"].bytes(), "crash.c");
    EXPECT_EQ(crash["frame"]["line"].number(), 12);
    EXPECT_EQ(crash["frame"]["args"].at(0)["name"].bytes(), "head");
    EXPECT_EQ(crash["frame"]["args"].at(0)["value"].bytes(), "0x0");

    // gdb cut its console message in two records.
    QByteArray console;
    for (const MiRecord* r : recordsOf(records, MiRecordType::ConsoleStream, ""))
        console += r->stream;
    EXPECT_TRUE(console.contains("\nProgram received signal SIGSEGV, Segmentation fault.\n"));

    const MiValue& locals = answerTo(records, 4).results["variables"];
    ASSERT_EQ(locals.size(), 3);
    EXPECT_EQ(locals.at(2)["name"].bytes(), "sum");
    EXPECT_EQ(locals.at(2)["value"].bytes(), "12");
    EXPECT_EQ(locals.at(0)["arg"].bytes(), "1");
    EXPECT_EQ(answerTo(records, 3).results["stack"].size(), 2);
    EXPECT_EQ(stops[1]->results["reason"].bytes(), "exited-signalled");
}

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
