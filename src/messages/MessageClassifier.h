#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The icons of the message list, by index.
enum MessageIcon : int {
    IconInfo = 0,       // blue octagon with a white "i": an ordinary line
    IconDiagnostic = 1, // red octagon with a cross: looks like a compiler diagnostic
    IconSeparator = 2,  // white square with a black bar: the separator row
    IconNone = 3,       // an empty line: no picture
    IconMatch = 4,      // grey magnifying glass: a Find in Files match
};

// A row's icon taken from its text (classifyMessage), where a caller may
// instead give one.
constexpr int kIconByText = -1;

// Whether a line looks like a compiler diagnostic: a colon, any number of
// decimal digits (none included) and another colon, e.g. from gcc:
//   "foo.c:12:5: error: expected ';' before '}' token"
// The scan starts looking at index 1, so a leading colon never opens a
// group, and the opening colon must stand before the last three characters;
// texts of three characters or fewer are never diagnostics. Two adjacent
// colons ("std::string") count as a group with no digits.
bool isDiagnosticLine(QStringView text);

// The icon a row with this text gets.
int classifyMessage(QStringView text);

// The same icon for a row given as the bytes it arrived as (UTF-8, or any
// other bytes read as Latin-1): classifyMessageBytes(b) equals
// classifyMessage(RowText(b)), without making a string. A matching group's
// colons and digits are ASCII, so byte positions give the same answer as
// character positions.
int classifyMessageBytes(QByteArrayView row);

// Where a diagnostic points: the file name is the text before the opening
// colon of the first matching group (runs of backslashes collapsed to one),
// the line is the value of that group's digits (0 when it has none).
struct DiagnosticLocation {
    QString fileName;
    int line = 0;
    friend bool operator==(const DiagnosticLocation&, const DiagnosticLocation&) = default;
};

// The location a double click on this text opens, or nothing when the text
// holds no group that the classification would accept.
std::optional<DiagnosticLocation> parseDiagnostic(QStringView text);

// "C:\\\\dir\\x.c" -> "C:\\dir\\x.c": every run of backslashes becomes one.
QString collapseBackslashRuns(QStringView path);
