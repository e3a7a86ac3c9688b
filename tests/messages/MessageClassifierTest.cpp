#include "messages/MessageClassifier.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct ClassifyCase {
    const char* name;
    QString text;
    int icon;
};

TEST(MessageClassifier, IconsOfRealAndEdgeLines)
{
    const ClassifyCase cases[] = {
        // gcc output as it reaches the message window
        {"gccErrorWithColumn", "foo.c:12:5: error: expected ';' before '}' token", IconDiagnostic},
        {"gccLineOnly", "foo.c:12: error: parse error", IconDiagnostic},
        // the opening colon may stand at length - 3, so this context line counts
        {"gccFileContext", "In file included from foo.c:3:", IconDiagnostic},
        {"gccIncludeChain", "                 from bar.h:7,", IconInfo},
        {"ldUndefined", "/usr/bin/ld: foo.o: in function `main':", IconInfo},
        {"ldWithLine", "foo.c:(.text+0x1e): undefined reference to `bar'", IconInfo},
        {"noNumber", "foo.c: warning: no newline", IconInfo},
        // two adjacent colons count as a group with no digits
        {"scopedMember", "foo.cpp: In member function 'void A::f()':", IconDiagnostic},
        {"twoColonsNearEnd", "x::y", IconDiagnostic},
        {"twoColonsInLastThree", "abc::", IconInfo},
        // plain lines
        {"errorsHeading", "Errors:", IconInfo},
        {"empty", "", IconNone},
        {"blank", " ", IconInfo},
        // length limits: three characters or fewer are never diagnostics
        {"lengthThree", "a:1", IconInfo},
        {"lengthThreeColons", ":::", IconInfo},
        {"lengthFourColons", "::::", IconDiagnostic},
        {"lengthFourGroup", "a:1:", IconDiagnostic},
        {"lengthFourNoGroup", "ab::", IconInfo},
        // the bound: the opening colon must stand before the last three
        // characters
        {"openingAtLengthMinus3", "abcd:1:", IconDiagnostic},
        {"openingAtLengthMinus2", "abcde::", IconInfo},
        {"closingFarAfterBound", "ab:12345:", IconDiagnostic},
        // index 0 is never looked at as the opening colon
        {"leadingColonThenGroup", ":x a.c:4: err", IconDiagnostic},
        // a failed group does not hide a later one
        {"earlierColonDigitsBlank", "note:12 at b.c:9: here", IconDiagnostic},
        {"digitsThenEnd", "value:123", IconInfo},
        {"nonAsciiName", "dätei.c:7:1: Fehler", IconDiagnostic},
        // the bounds count characters, not bytes
        {"wideFirstThenGroup", "€:1:", IconDiagnostic},
        {"wideBeforeColons", "ä::", IconInfo},
        {"wideAfterColons", "a::€", IconDiagnostic},
        {"wideAfterOpening", "a:€", IconInfo},
        {"byteOrderMarkOnly", QString(QChar(0xfeff)), IconInfo},
    };
    for (const ClassifyCase& c : cases) {
        EXPECT_EQ(classifyMessage(c.text), c.icon)
            << c.name << ": \"" << c.text.toStdString() << '"';
        // The bulk path classifies the bytes a row arrived as, UTF-8 or Latin-1.
        EXPECT_EQ(classifyMessageBytes(c.text.toUtf8()), c.icon) << c.name << " as UTF-8";
        if (c.text == QString::fromLatin1(c.text.toLatin1())) {
            EXPECT_EQ(classifyMessageBytes(c.text.toLatin1()), c.icon) << c.name << " as Latin-1";
        }
    }
}

TEST(MessageClassifier, DiagnosticLocations)
{
    const struct {
        const char* name;
        QString text;
        QString expected; // "file@line"; empty: no location
    } cases[] = {
        {"gccColumn", "foo.c:12:5: error: x", "foo.c@12"},
        {"absolutePath", "/tmp/p/foo.c:140: warning", "/tmp/p/foo.c@140"},
        {"drive", "C:\\dir\\x.c:3: warning", "C:\\dir\\x.c@3"},
        {"backslashRunsCollapse", "\\\\\\s\\\\dir\\\\\\x.c:3: warning", "\\s\\dir\\x.c@3"},
        // the earlier colon and digits belong to the file name
        {"earlierGroupFails", "note:12 b.c:9: here", "note:12 b.c@9"},
        // the scan goes on from the character that ended the digits
        {"groupRightAfterAFailedOne", "a:1 :5: x", "a:1 @5"},
        {"scopedZeroDigits", "std::string", "std@0"},
        {"leadingZeros", "a.c:007: x", "a.c@7"},
        {"hugeLineKeptInRange", "a.c:99999999999999999999: x", "a.c@2147483647"},
        {"lineOnePastTheLargest", "a.c:2147483648: x", "a.c@2147483647"},
        {"leadingColonSkipped", ":12:rest", {}},
        {"noGroup", "foo.c: In function 'main':", {}},
        {"noColon", "Linking", {}},
        {"tooShort", "a::", {}},
    };
    for (const auto& c : cases) {
        const std::optional<DiagnosticLocation> got = parseDiagnostic(c.text);
        EXPECT_EQ(got ? got->fileName + QLatin1Char('@') + QString::number(got->line) : QString(),
                  c.expected)
            << c.name;
        // A row opens something exactly when it has the diagnostic icon.
        EXPECT_EQ(got.has_value(), classifyMessage(c.text) == IconDiagnostic) << c.name;
        EXPECT_EQ(got.has_value(), classifyMessageBytes(c.text.toUtf8()) == IconDiagnostic)
            << c.name;
    }
}

} // namespace
