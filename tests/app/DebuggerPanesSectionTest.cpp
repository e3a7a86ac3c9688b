// The debugger panes' section of Tarn32.ini: the docks' layout and the
// column widths the user dragged, written after [Options] (which stays byte
// for byte) and read back as far as a hand-edited section makes sense.
#include "settings/DebuggerPanesSection.h"
#include "settings/SettingsProfile.h"

#include <gtest/gtest.h>

namespace {

TEST(DebuggerPanesSection, ReadAsFarAsItMakesSense)
{
    struct Case {
        const char* name;
        QByteArray file;
        DebuggerPaneLayout expected;
    };
    const QByteArray state("\x00\x00\x00\xff layout\n", 12);
    const Case cases[] = {
        {"no section", "[Options]\nClear=0\n", {}},
        {"docks and two panes",
         "[Debugger Panes]\nDocks=" + state.toBase64() + "\nLocals=212,0\nBreakpoints=0,160\n",
         {state, {{QStringLiteral("Locals"), {212, 0}}, {QStringLiteral("Breakpoints"), {0, 160}}}}},
        {"other case, blanks", "[debugger panes]\ncall stack = 90 , 0\n",
         {{}, {{QStringLiteral("Call Stack"), {90, 0}}}}},
        {"docks not base64 are dropped", "[Debugger Panes]\nDocks=not*base64!\nWatch=80\n",
         {{}, {{QStringLiteral("Watch"), {80}}}}},
        {"nonsense and negative widths are fitted, huge ones cut",
         "[Debugger Panes]\nLocals=abc,-5,99999999,30\n",
         {{}, {{QStringLiteral("Locals"), {0, 0, MaxPaneColumnWidth, 30}}}}},
        {"all fitted is no entry", "[Debugger Panes]\nLocals=0,0\nWatch=\n", {}},
        {"unknown pane ignored", "[Debugger Panes]\nRegisters=40,40\n", {}},
        {"at most eight columns", "[Debugger Panes]\nLocals=1,2,3,4,5,6,7,8,9,10\n",
         {{}, {{QStringLiteral("Locals"), {1, 2, 3, 4, 5, 6, 7, 8}}}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readDebuggerPaneLayout(SettingsProfile::fromBytes(c.file)), c.expected) << c.name;
}

TEST(DebuggerPanesSection, WrittenAfterOptionsAndReadBack)
{
    const QByteArray options = "[Options]\r\nGCC Path=/usr/bin/gcc\r\nClear=1\r\n";
    DebuggerPaneLayout layout;
    layout.docks = QByteArray("\x00\x01\x02 docks \xfe\xff", 12);
    layout.columns.insert(QStringLiteral("Locals"), {212, 0});
    layout.columns.insert(QStringLiteral("Watch"), {0}); // fitted: no key
    layout.columns.insert(QStringLiteral("Call Stack"), {95});
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after;
    };
    const QByteArray section = "[Debugger Panes]\r\nDocks=" + layout.docks.toBase64() +
                               "\r\nLocals=212,0\r\nCall Stack=95\r\n";
    const Case cases[] = {
        {"after Options", options, options + "\r\n" + section},
        {"old keys go, other sections stay",
         options + "\r\n[Debugger Panes]\r\nWatch=77\r\nDocks=AAAA\r\n\r\n[Mine]\r\nx=1\r\n",
         options + "\r\n" + section + "\r\n[Mine]\r\nx=1\r\n"},
    };
    for (const Case& c : cases) {
        SettingsProfile profile = SettingsProfile::fromBytes(c.before);
        writeDebuggerPaneLayout(profile, layout);
        EXPECT_EQ(profile.toBytes(), c.after) << c.name;
        DebuggerPaneLayout back = readDebuggerPaneLayout(profile);
        DebuggerPaneLayout expected = layout;
        expected.columns.remove(QStringLiteral("Watch"));
        EXPECT_EQ(back, expected) << c.name;
    }
}

} // namespace
