// Tarn's C colouring against QScintilla's C++ lexer: the same style for
// every byte of a table of C and C++ snippets.
#include "editor/CSourceLexer.h"
#include "editor/SourceStyler.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

std::vector<int> stylesWith(QsciLexer* lexer, const QByteArray& text)
{
    QsciScintilla control;
    control.setUtf8(true);
    control.setLexer(lexer);
    if (!qobject_cast<CSourceLexer*>(lexer)) {
        control.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "lexer.cpp.track.preprocessor", "1");
        control.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "lexer.cpp.update.preprocessor", "1");
    }
    control.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
    control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    std::vector<int> styles(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i)
        styles[size_t(i)] = int(control.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(i)));
    control.setLexer(nullptr);
    return styles;
}

// "" if both agree, else the first line where they differ, with the style
// of each byte.
std::string firstDifference(const QByteArray& text, const std::vector<int>& want, const std::vector<int>& got)
{
    for (size_t i = 0; i < want.size(); ++i) {
        if (want[i] == got[i])
            continue;
        const qsizetype begin = text.lastIndexOf('\n', qsizetype(i) - 1) + 1;
        qsizetype end = text.indexOf('\n', qsizetype(i));
        if (end < 0)
            end = text.size();
        std::string out = "at byte " + std::to_string(i) + " of line \"" + text.mid(begin, end - begin).toStdString()
                          + "\"\n  want:";
        for (qsizetype j = begin; j < end; ++j)
            out += " " + std::to_string(want[size_t(j)]);
        out += "\n  got: ";
        for (qsizetype j = begin; j < end; ++j)
            out += " " + std::to_string(got[size_t(j)]);
        return out;
    }
    return {};
}

std::string compare(const QByteArray& text)
{
    QsciLexerCPP reference;
    CSourceLexer tarn;
    return firstDifference(text, stylesWith(&reference, text), stylesWith(&tarn, text));
}

TEST(SourceStyler, CorpusFromEnvironment)
{
    const QByteArray root = qgetenv("TARN_STYLER_CORPUS");
    if (root.isEmpty())
        GTEST_SKIP();
    QDirIterator it(QString::fromLocal8Bit(root), {"*.c", "*.h", "*.cpp", "*.hpp", "*.cc"}, QDir::Files,
                    QDirIterator::Subdirectories);
    int files = 0;
    int bad = 0;
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.readAll();
        ++files;
        const std::string diff = compare(text);
        if (!diff.empty()) {
            ++bad;
            ADD_FAILURE() << file.fileName().toStdString() << ": " << diff;
        }
    }
    std::printf("%d files, %d differ\n", files, bad);
}

} // namespace
namespace {
TEST(SourceStyler, ProbeConditions)
{
    const char* exprs[] = {"UNKNOWN", "!UNKNOWN", "UNKNOWN || 1", "defined X", "defined X X", "2 + 3 * 0", "1 - 1 * 1",
                           "3 - 1 - 2", "1 + 1 == 2", "!0", "!5", "~0", "1 | 0", "2 & 1", "(1)", "((0))", "1 ? 0 : 0",
                           "0x10", "010 == 8", "1 && 2", "A_DEF + 1", "A_DEF * 2 == 4", "defined(A_DEF) && A_DEF > 1",
                           "defined A_DEF", "defined A_DEF A_DEF", "M(2) == 3", "M(A_DEF) == 3", "!defined(A_DEF)", "5 / 0",
                           "-1", "1 - - 1", "E", "E + 1", "1\n#elif 0", "0\n#elif 0", "0\n#elif 0 0", "0\n#else\n#else",
                           "0\n#endif\n#else", "1\n#endif\n#endif\n#else\n#if 1", "X\n#\n#else",
                           "0\n#  \n#else", "1\n#elif\n#else"};
    for (const char* e : exprs) {
        QByteArray text = "#define A_DEF 2\n#define M(x) x + 1\n#define E\n#if ";
        text += e;
        text += "\nint a;\n#endif\n";
        QsciLexerCPP reference;
        CSourceLexer tarn;
        auto want = stylesWith(&reference, text);
        auto got = stylesWith(&tarn, text);
        const qsizetype at = text.indexOf("int a");
        std::printf("%-30s lexcpp %s tarn %s\n", e, want[size_t(at)] >= 64 ? "inactive" : "active",
                    got[size_t(at)] >= 64 ? "inactive" : "active");
    }
}
} // namespace
