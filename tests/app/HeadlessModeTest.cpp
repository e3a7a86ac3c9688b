#include "app/HeadlessMode.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>

// The real program, with no display at all: --functions lists every
// readable file and reports the others.
TEST(HeadlessMode, FunctionsListsEveryFileWithoutADisplay)
{
    QTemporaryDir dir;
    auto writeFile = [&dir](const char* name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    };
    const QString a =
        writeFile("a.c", "int main(void)\r\n{\r\n}\r\n\r\nvoid Shape::draw() const {}\n");
    const QString b = writeFile("b.c", "int f(int);\n");
    const QString c = writeFile("c.c", "\n\nstatic int g() {}");
    const QString missing = dir.filePath("missing.c");
    QProcess tarn;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    tarn.setProcessEnvironment(env);
    tarn.start(TARN_EXECUTABLE, {"--functions", a, missing, b, c});
    ASSERT_TRUE(tarn.waitForFinished(30000));
    EXPECT_EQ(tarn.exitCode(), 1);
    EXPECT_EQ(tarn.readAllStandardOutput(),
              (a + ":1: main\n" + a + ":5: Shape::draw\n" + c + ":3: g\n").toLocal8Bit());
    EXPECT_EQ(tarn.readAllStandardError(), ("tarn: cannot read " + missing + "\n").toLocal8Bit());
}

TEST(HeadlessMode, OnlyItsOwnOptionsRunWithoutWindows)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    EXPECT_FALSE(RunHeadless({}, out, err).has_value());
    EXPECT_FALSE(RunHeadless({"hello.c"}, out, err).has_value());
    EXPECT_FALSE(RunHeadless({"hello.c", "--functions"}, out, err).has_value());
    EXPECT_EQ(RunHeadless({"--functions"}, out, err), 2);
    EXPECT_TRUE(out.data().isEmpty());
    EXPECT_FALSE(err.data().isEmpty());
}
