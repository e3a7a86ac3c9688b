// The environment of the tools whose output Tarn reads: their messages in
// the C locale, the rest of the user's locale kept; and the real children
// of the one child road (RunTool, on both of its exec paths) started in it.
#include "tools/ChildRun.h"
#include "tools/PathBytes.h"
#include "tools/ToolEnvironment.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>
#include <vector>

// Readable settings in failures.
void PrintTo(const EnvironmentSetting& setting, std::ostream* out)
{
    *out << setting.name.toStdString() << (setting.value ? "=" + setting.value->toStdString() : " unset");
}

namespace {

using Variables = std::map<QString, QString>;

QProcessEnvironment environmentOf(const Variables& variables)
{
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables)
        environment.insert(name, value);
    return environment;
}

Variables variablesOf(const QProcessEnvironment& environment)
{
    Variables variables;
    for (const QString& name : environment.keys())
        variables[name] = environment.value(name);
    return variables;
}

std::string shown(const Variables& variables)
{
    std::string text;
    for (const auto& [name, value] : variables)
        text += name.toStdString() + "=" + value.toStdString() + " ";
    return text;
}

const QString kCategories[] = {
    "LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LC_COLLATE", "LC_MONETARY", "LC_PAPER",
    "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION",
};

// Every category but LC_MESSAGES set to one value.
Variables allCategories(const QString& value)
{
    Variables variables;
    for (const QString& category : kCategories)
        variables[category] = value;
    return variables;
}

Variables merged(Variables a, const Variables& b)
{
    for (const auto& [name, value] : b)
        a[name] = value;
    return a;
}

TEST(ToolEnvironment, MessagesInCTheRestOfTheLocaleKept)
{
    const QString de = "de_DE.UTF-8";
    const Variables other{{"PATH", "/usr/bin"}, {"HOME", "/home/u"}};
    struct Case {
        const char* name;
        Variables user;
        Variables tool;
        std::vector<EnvironmentSetting> setBack;
    };
    const std::vector<Case> cases{
        {"nothing set", other, merged(other, {{"LC_MESSAGES", "C"}}), {{"LC_MESSAGES", std::nullopt}}},
        {"LANG only", merged(other, {{"LANG", de}}),
         merged(other, {{"LANG", de}, {"LC_MESSAGES", "C"}}), {{"LC_MESSAGES", std::nullopt}}},
        {"LC_MESSAGES set", {{"LANG", "C.UTF-8"}, {"LC_MESSAGES", de}},
         {{"LANG", "C.UTF-8"}, {"LC_MESSAGES", "C"}}, {{"LC_MESSAGES", de}}},
        {"LC_MESSAGES already C", {{"LC_MESSAGES", "C"}, {"LC_CTYPE", de}},
         {{"LC_MESSAGES", "C"}, {"LC_CTYPE", de}}, {}},
        {"LANGUAGE set", {{"LANG", de}, {"LANGUAGE", "de:fr"}},
         {{"LANG", de}, {"LC_MESSAGES", "C"}},
         {{"LANGUAGE", "de:fr"}, {"LC_MESSAGES", std::nullopt}}},
        // LC_ALL ruled every category, those set on their own included.
        {"LC_ALL set", {{"LANG", "C"}, {"LC_ALL", de}, {"LC_CTYPE", "C.UTF-8"}, {"LC_MESSAGES", "fr_FR"}},
         merged(allCategories(de), {{"LANG", "C"}, {"LC_MESSAGES", "C"}}),
         {{"LC_ADDRESS", std::nullopt},  {"LC_ALL", de},
          {"LC_COLLATE", std::nullopt},  {"LC_CTYPE", "C.UTF-8"},
          {"LC_IDENTIFICATION", std::nullopt}, {"LC_MEASUREMENT", std::nullopt},
          {"LC_MESSAGES", "fr_FR"},      {"LC_MONETARY", std::nullopt},
          {"LC_NAME", std::nullopt},     {"LC_NUMERIC", std::nullopt},
          {"LC_PAPER", std::nullopt},    {"LC_TELEPHONE", std::nullopt},
          {"LC_TIME", std::nullopt}}},
        // An empty LC_ALL rules nothing: it goes, the categories keep theirs.
        {"LC_ALL empty", {{"LC_ALL", ""}, {"LC_CTYPE", de}},
         {{"LC_CTYPE", de}, {"LC_MESSAGES", "C"}},
         {{"LC_ALL", ""}, {"LC_MESSAGES", std::nullopt}}},
    };
    for (const Case& c : cases) {
        const QProcessEnvironment user = environmentOf(c.user);
        EXPECT_EQ(shown(variablesOf(ToolEnvironment(user))), shown(c.tool)) << c.name;
        EXPECT_EQ(UserLocaleSettings(user), c.setBack) << c.name;
        // Setting back what was changed gives the user's environment again.
        QProcessEnvironment back = ToolEnvironment(user);
        for (const EnvironmentSetting& setting : UserLocaleSettings(user)) {
            if (setting.value)
                back.insert(setting.name, *setting.value);
            else
                back.remove(setting.name);
        }
        EXPECT_EQ(shown(variablesOf(back)), shown(c.user)) << c.name;
    }
}

// `env` run on the one road: its output, one variable a line.
QList<QByteArray> childEnvironment(const QString& folder)
{
    const QString env = QStandardPaths::findExecutable("env");
    EXPECT_FALSE(env.isEmpty());
    std::atomic<bool> cancel{false};
    QByteArray output;
    const ChildResult result = RunTool(Invocation{env, {}, folder}, cancel,
                                       [&](ToolStream stream, QByteArrayView bytes) {
                                           if (stream == ToolStream::Output)
                                               output += bytes;
                                       });
    EXPECT_EQ(result.end, ChildResult::End::Finished);
    EXPECT_EQ(result.exitCode, 0);
    QList<QByteArray> lines = output.split('\n');
    lines.removeAll(QByteArray());
    std::sort(lines.begin(), lines.end());
    return lines;
}

QList<QByteArray> withPrefix(const QList<QByteArray>& lines, const QByteArray& prefix)
{
    QList<QByteArray> found;
    for (const QByteArray& line : lines) {
        if (line.startsWith(prefix))
            found << line;
    }
    return found;
}

// A tool started in a folder whose name is text (Qt's exec) and in one
// whose name is not UTF-8 (Tarn's own exec, the exact bytes): both get the
// tools' locale, and a variable whose value is not UTF-8 reaches either
// byte for byte.
TEST(ToolEnvironment, ChildrenOfBothExecPathsRunInIt)
{
    testsupport::SavedVariables saved({"LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANGUAGE", "LANG",
                          "TARN_TEST_BYTES"});
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANGUAGE", "de");
    qputenv("LANG", "fr_FR.UTF-8");
    qunsetenv("LC_MESSAGES");
    qunsetenv("LC_CTYPE");
    qputenv("TARN_TEST_BYTES", "caf\xe9 \xff");

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray notText = QFile::encodeName(dir.path()) + "/caf\xe9";
    ASSERT_EQ(::mkdir(notText.constData(), 0700), 0);
    ASSERT_FALSE(IsTextPath(PathFromBytes(notText)));

    for (const QString& folder : {dir.path(), PathFromBytes(notText)}) {
        SCOPED_TRACE(PathToBytes(folder).toStdString());
        const QList<QByteArray> lines = childEnvironment(folder);
        EXPECT_EQ(withPrefix(lines, "LC_"),
                  (QList<QByteArray>{"LC_ADDRESS=de_DE.UTF-8", "LC_COLLATE=de_DE.UTF-8",
                                     "LC_CTYPE=de_DE.UTF-8", "LC_IDENTIFICATION=de_DE.UTF-8",
                                     "LC_MEASUREMENT=de_DE.UTF-8", "LC_MESSAGES=C",
                                     "LC_MONETARY=de_DE.UTF-8", "LC_NAME=de_DE.UTF-8",
                                     "LC_NUMERIC=de_DE.UTF-8", "LC_PAPER=de_DE.UTF-8",
                                     "LC_TELEPHONE=de_DE.UTF-8", "LC_TIME=de_DE.UTF-8"}));
        EXPECT_EQ(withPrefix(lines, "LANG"), QList<QByteArray>{"LANG=fr_FR.UTF-8"});
        EXPECT_EQ(withPrefix(lines, "TARN_TEST_BYTES="),
                  QList<QByteArray>{"TARN_TEST_BYTES=caf\xe9 \xff"});
        EXPECT_EQ(withPrefix(lines, "PATH="), QList<QByteArray>{"PATH=" + qgetenv("PATH")});
    }
    // Tarn's own environment is not touched.
    EXPECT_EQ(qgetenv("LC_ALL"), "de_DE.UTF-8");
    EXPECT_EQ(qgetenv("LANGUAGE"), "de");
    EXPECT_FALSE(qEnvironmentVariableIsSet("LC_MESSAGES"));
}

} // namespace
