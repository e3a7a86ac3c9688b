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
        {"gccErrorWithColumn", QStringLiteral("foo.c:12:5: error: expected ';' before '}' token"), IconDiagnostic},
        {"gccLineOnly", QStringLiteral("foo.c:12: error: parse error"), IconDiagnostic},
        // the opening colon may stand at length - 3, so this context line counts
        {"gccFileContext", QStringLiteral("In file included from foo.c:3:"), IconDiagnostic},
        {"gccIncludeChain", QStringLiteral("                 from bar.h:7,"), IconInfo},
        {"ldUndefined", QStringLiteral("/usr/bin/ld: foo.o: in function `main':"), IconInfo},
        {"ldWithLine", QStringLiteral("foo.c:(.text+0x1e): undefined reference to `bar'"), IconInfo},
        {"noNumber", QStringLiteral("foo.c: warning: no newline"), IconInfo},
        // two adjacent colons count as a group with no digits
        {"scopedMember", QStringLiteral("foo.cpp: In member function 'void A::f()':"), IconDiagnostic},
        {"twoColonsNearEnd", QStringLiteral("x::y"), IconDiagnostic},
        {"twoColonsInLastThree", QStringLiteral("abc::"), IconInfo},
        // plain lines
        {"errorsHeading", QStringLiteral("Errors:"), IconInfo},
        {"noColon", QStringLiteral("Compiling foo.c with command line of"), IconInfo},
        {"empty", QString(), IconNone},
        {"blank", QStringLiteral(" "), IconInfo},
        // length limits: three characters or fewer are never diagnostics
        {"lengthThree", QStringLiteral("a:1"), IconInfo},
        {"lengthThreeColons", QStringLiteral(":::"), IconInfo},
        {"lengthFourColons", QStringLiteral("::::"), IconDiagnostic},
        {"lengthFourGroup", QStringLiteral("a:1:"), IconDiagnostic},
        {"lengthFourNoGroup", QStringLiteral("ab::"), IconInfo},
        // the bound: the opening colon must stand before the last three characters
        {"openingAtLengthMinus3", QStringLiteral("abcd:1:"), IconDiagnostic},
        {"openingAtLengthMinus2", QStringLiteral("abcde::"), IconInfo},
        {"closingFarAfterBound", QStringLiteral("ab:12345:"), IconDiagnostic},
        // index 0 is never looked at as the opening colon
        {"leadingColonThenGroup", QStringLiteral(":x a.c:4: err"), IconDiagnostic},
        // a failed group does not hide a later one
        {"earlierColonDigitsBlank", QStringLiteral("note:12 at b.c:9: here"), IconDiagnostic},
        {"digitsThenEnd", QStringLiteral("value:123"), IconInfo},
        {"nonAsciiName", QStringLiteral("dätei.c:7:1: Fehler"), IconDiagnostic},
        // the bounds count characters, not bytes
        {"wideFirstThenGroup", QStringLiteral("€:1:"), IconDiagnostic},
        {"wideBeforeColons", QStringLiteral("ä::"), IconInfo},
        {"wideAfterColons", QStringLiteral("a::€"), IconDiagnostic},
        {"wideAfterOpening", QStringLiteral("a:€"), IconInfo},
        {"byteOrderMarkOnly", QString(QChar(0xfeff)), IconInfo},
    };
    for (const ClassifyCase& c : cases) {
        EXPECT_EQ(classifyMessage(c.text), c.icon) << c.name << ": \"" << c.text.toStdString() << '"';
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
        {"gccColumn", QStringLiteral("foo.c:12:5: error: x"), QStringLiteral("foo.c@12")},
        {"absolutePath", QStringLiteral("/tmp/p/foo.c:140: warning"), QStringLiteral("/tmp/p/foo.c@140")},
        {"drive", QStringLiteral("C:\\dir\\x.c:3: warning"), QStringLiteral("C:\\dir\\x.c@3")},
        {"backslashRunsCollapse", QStringLiteral("\\\\\\s\\\\dir\\\\\\x.c:3: warning"), QStringLiteral("\\s\\dir\\x.c@3")},
        // the earlier colon and digits belong to the file name
        {"earlierGroupFails", QStringLiteral("note:12 b.c:9: here"), QStringLiteral("note:12 b.c@9")},
        // the scan goes on from the character that ended the digits
        {"groupRightAfterAFailedOne", QStringLiteral("a:1 :5: x"), QStringLiteral("a:1 @5")},
        {"scopedZeroDigits", QStringLiteral("std::string"), QStringLiteral("std@0")},
        {"leadingZeros", QStringLiteral("a.c:007: x"), QStringLiteral("a.c@7")},
        {"hugeLineKeptInRange", QStringLiteral("a.c:99999999999999999999: x"), QStringLiteral("a.c@2147483647")},
        {"leadingColonSkipped", QStringLiteral(":12:rest"), {}},
        {"noGroup", QStringLiteral("foo.c: In function 'main':"), {}},
        {"noColon", QStringLiteral("Linking"), {}},
        {"tooShort", QStringLiteral("a::"), {}},
    };
    for (const auto& c : cases) {
        const std::optional<DiagnosticLocation> got = parseDiagnostic(c.text);
        EXPECT_EQ(got ? got->fileName + QLatin1Char('@') + QString::number(got->line) : QString(), c.expected) << c.name;
        // A row opens something exactly when it has the diagnostic icon.
        EXPECT_EQ(got.has_value(), classifyMessage(c.text) == IconDiagnostic) << c.name;
        EXPECT_EQ(got.has_value(), classifyMessageBytes(c.text.toUtf8()) == IconDiagnostic) << c.name;
    }
}

} // namespace
