// The editor's sections of Tarn32.ini: the View menu's switches in [Editor]
// and the last session in [Session], written after [Options] and leaving it
// byte for byte; a hand-edited section never stops a start.
#include "settings/EditorSections.h"
#include "settings/SettingsCodec.h"
#include "settings/SettingsProfile.h"
#include "tools/PathBytes.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorSwitches, AllOnByDefaultAndOnlyZeroTurnsOneOff)
{
    struct Case {
        const char* name;
        QByteArray file;
        EditorSwitches expected;
    };
    const Case cases[] = {
        {"no file", "", {true, true, true}},
        {"no section", "[Options]\nClear=0\n", {true, true, true}},
        {"all off",
         "[Editor]\nSyntax Colouring=0\nLine Numbers=0\nReopen Last Session=0\n",
         {false, false, false}},
        {"one off, other case", "[editor]\nline numbers = 0\n", {true, false, true}},
        {"nonsense is a number or on",
         "[Editor]\nSyntax Colouring=yes\nLine Numbers=0x\n"
         "Reopen Last Session=\n",
         {false, false, true}},
        {"key of another section", "[Options]\nLine Numbers=0\n", {true, true, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readEditorSwitches(SettingsProfile::fromBytes(c.file)), c.expected) << c.name;
}

TEST(EditorSwitches, WrittenAfterOptionsWhichStaysByteForByte)
{
    const QByteArray options = "[Options]\r\nGCC Path=/usr/bin/gcc\r\nGDB Path=\r\nMake Path=\r\n"
                               "LibC Path=\r\nAuto Indent=1\r\nDebug Default=0\r\nClear=1\r\n"
                               "Level=1\r\nTile=0\r\n";
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {"after the ten keys", options,
         options +
             "\r\n[Editor]\r\nSyntax Colouring=0\r\nLine Numbers=1\r\nReopen Last Session=0\r\n"},
        {"in place, other sections kept",
         "[Options]\nClear=0\n\n[Editor]\nline numbers=0\n\n[Mine]\nx=1\n",
         "[Options]\nClear=0\n\n[Editor]\nline numbers=1\nSyntax Colouring=0\n"
         "Reopen Last Session=0\n\n[Mine]\nx=1\n"},
        {"no Options yet: an empty one first", "",
         "[Options]\n\n[Editor]\nSyntax Colouring=0\nLine Numbers=1\nReopen Last Session=0\n"},
    };
    for (const Case& c : cases) {
        SettingsProfile profile = SettingsProfile::fromBytes(c.before);
        writeEditorSwitches(profile, {false, true, false});
        EXPECT_EQ(profile.toBytes(), c.after) << c.name;
        EXPECT_EQ(readEditorSwitches(profile), (EditorSwitches{false, true, false})) << c.name;
        EXPECT_EQ(readStoredSettings(profile),
                  readStoredSettings(SettingsProfile::fromBytes(c.before)))
            << c.name;
    }
    // The ten keys written later stay in [Options], before [Editor].
    SettingsProfile profile = SettingsProfile::fromBytes("");
    writeEditorSwitches(profile, {});
    writeStoredSettings(profile, StoredSettings::defaults());
    const QByteArray bytes = profile.toBytes();
    EXPECT_TRUE(bytes.startsWith("[Options]\nGCC Path=\n")) << bytes.constData();
    EXPECT_LT(bytes.indexOf("Tile=0"), bytes.indexOf("[Editor]")) << bytes.constData();
}

TEST(SessionPaths, EveryPathSurvivesTheOneLineValue)
{
    const QString paths[] = {
        QStringLiteral("/home/ann/hello/main.c"), QStringLiteral("/home/ann/My Projects/a b.c"),
        QStringLiteral(" /lead and trail "),      QStringLiteral("/per%cent/%41.c"),
        QStringLiteral("/line\nbreak\r/tab\t.c"), QStringLiteral("/caf\u00e9/\u00fcber.c"),
        PathFromBytes("/latin\xE9/x.c"),          QStringLiteral("/a=b;c[d].c"),
    };
    for (const QString& path : paths) {
        const QByteArray value = sessionPathToValue(path);
        EXPECT_FALSE(value.contains('\n') || value.contains('\r') || value.contains('\t'))
            << value.constData();
        EXPECT_EQ(value, value.trimmed()) << value.constData();
        // Through a real file: written, trimmed on reading, decoded.
        SettingsProfile profile;
        profile.setRawValue("Session", "Window1", value);
        const SettingsProfile back = SettingsProfile::fromBytes(profile.toBytes());
        EXPECT_EQ(sessionValueToPath(*back.rawValue("Session", "Window1")), path)
            << value.constData();
    }
    EXPECT_EQ(sessionPathToValue(QStringLiteral("/My Projects/x.c")), "/My Projects/x.c");
    EXPECT_EQ(sessionPathToValue(QStringLiteral("/50%.c")), "/50%25.c");
    // A stray '%' typed by hand stays a '%'.
    EXPECT_EQ(sessionValueToPath("/100%/a%g.c%4"), QStringLiteral("/100%/a%g.c%4"));
}

TEST(Session, WrittenWholeAndReadBack)
{
    using State = WindowPlace::State;
    Session session{{{QStringLiteral("/p/hello.tarn"), 1, {QRect(0, 0, 700, 400), State::Maximised}},
                     {QStringLiteral("/p/main.c"), 42, {QRect(-20, 30, 800, 500), State::Normal}},
                     {QStringLiteral("/p/My Notes.txt"), 7, {QRect(5, 6, 300, 200), State::Minimised}}},
                    1};
    session.messagePlace = {QRect(0, 610, 1280, 200), State::Normal};
    const QByteArray options = "[Options]\nGCC Path=/usr/bin/gcc\n";
    SettingsProfile profile =
        SettingsProfile::fromBytes(options + "\n[Session]\nWindows=9\nWindow9=/old.c\n"
                                             "Line9=3\n; mine\n\n[Mine]\nx=1\n");
    writeSession(profile, session);
    EXPECT_EQ(profile.toBytes(), options + "\n[Session]\nWindows=3\nWindow1=/p/hello.tarn\n"
                                           "Place1=0,0,700,400,maximised\n"
                                           "Window2=/p/main.c\nLine2=42\nPlace2=-20,30,800,500\n"
                                           "Window3=/p/My Notes.txt\nLine3=7\nPlace3=5,6,300,200,minimised\n"
                                           "Active=2\nMessagePlace=0,610,1280,200\n\n[Mine]\nx=1\n");
    EXPECT_EQ(readSession(profile), session);

    // An empty session leaves an empty list; no Options yet gets one first.
    SettingsProfile fresh;
    writeSession(fresh, Session{});
    EXPECT_EQ(fresh.toBytes(), "[Options]\n\n[Session]\nWindows=0\n");
    EXPECT_EQ(readSession(fresh), Session{});
}

TEST(Session, HandEditedNonsenseGivesWhatMakesSense)
{
    struct Case {
        const char* name;
        QByteArray section;
        Session expected;
    };
    static const char garbage[] = "Windows=\x01\xff\0\nWindow1=\xff\xfe\n";
    const Case cases[] = {
        {"no section", "", {}},
        {"count not a number", "Windows=many\nWindow1=/a.c\n", {}},
        {"negative count", "Windows=-3\nWindow1=/a.c\n", {}},
        {"count beyond the entries", "Windows=3\nWindow2=/b.c\nActive=2\n", {{{"/b.c", 1}}, 0}},
        {"huge count is capped", "Windows=2147483647\nWindow1=/a.c\n", {{{"/a.c", 1}}, -1}},
        {"relative and empty paths dropped",
         "Windows=3\nWindow1=a.c\nWindow2=\nWindow3=/c.c\n",
         {{{"/c.c", 1}}, -1}},
        {"bad lines",
         "Windows=3\nWindow1=/a.c\nLine1=-5\nWindow2=/b.c\nLine2=x\nWindow3=/c.c\nLine3=12z\n",
         {{{"/a.c", 1}, {"/b.c", 1}, {"/c.c", 12}}, -1}},
        {"active out of range", "Windows=1\nWindow1=/a.c\nActive=7\n", {{{"/a.c", 1}}, -1}},
        {"active names a dropped entry",
         "Windows=2\nWindow1=x\nWindow2=/b.c\nActive=1\n",
         {{{"/b.c", 1}}, -1}},
        {"binary garbage", QByteArray(garbage, sizeof garbage - 1), {}},
        {"places: known, blanks, nonsense",
         "Windows=6\nWindow1=/a.c\nPlace1= 1, 2 ,30,40 , maximised\nWindow2=/b.c\nPlace2=1,2,0,40\n"
         "Window3=/c.c\nPlace3=1,2,30\nWindow4=/d.c\nPlace4=1,2,30,40,tiny\n"
         "Window5=/e.c\nPlace5=x,2,30,40\nWindow6=/f.c\nPlace6=-99999999,2,30,40\n"
         "MessagePlace=-5,-6,70,80,minimised\n",
         [] {
             Session s({{"/a.c", 1, {QRect(1, 2, 30, 40), WindowPlace::State::Maximised}},
                        {"/b.c", 1},
                        {"/c.c", 1},
                        {"/d.c", 1},
                        {"/e.c", 1},
                        {"/f.c", 1}});
             s.messagePlace = {QRect(-5, -6, 70, 80), WindowPlace::State::Minimised};
             return s;
         }()},
    };
    for (const Case& c : cases) {
        const SettingsProfile profile = SettingsProfile::fromBytes("[Session]\n" + c.section);
        EXPECT_EQ(readSession(profile), c.expected) << c.name;
    }
    // Entries past the cap are not looked at.
    QByteArray many = "[Session]\nWindows=100000\n";
    for (int i = 1; i <= MaxSessionWindows + 5; ++i)
        many += "Window" + QByteArray::number(i) + "=/f" + QByteArray::number(i) + ".c\n";
    const Session capped = readSession(SettingsProfile::fromBytes(many));
    ASSERT_EQ(capped.windows.size(), MaxSessionWindows);
    EXPECT_EQ(capped.windows.back().path, QStringLiteral("/f%1.c").arg(MaxSessionWindows));
}

TEST(Session, BreakpointsWrittenAndReadBack)
{
    Session session;
    session.windows = {{QStringLiteral("/p/main.c"), 1}};
    session.breakpoints = {{QStringLiteral("/p/main.c"), 17, true, {}},
                           {QStringLiteral("/p/util.c"), 5, false, "n == 3 && s[0] == '%'"},
                           {PathFromBytes("/p/caf\xe9.c"), 2, true, {}}};
    SettingsProfile profile;
    writeSession(profile, session);
    EXPECT_EQ(profile.toBytes(),
              "[Options]\n\n[Session]\nWindows=1\nWindow1=/p/main.c\nBreakpoints=3\n"
              "Breakpoint1=/p/main.c\nBreakpointLine1=17\nBreakpoint2=/p/util.c\n"
              "BreakpointLine2=5\nBreakpointOff2=1\nBreakpointIf2=n == 3 && s[0] == '%25'\n"
              "Breakpoint3=/p/caf\xe9.c\nBreakpointLine3=2\n");
    EXPECT_EQ(readSession(SettingsProfile::fromBytes(profile.toBytes())), session);
}

TEST(Session, HandEditedBreakpointsGiveWhatMakesSense)
{
    struct Case {
        const char* name;
        QByteArray section;
        QList<SessionBreakpoint> expected;
    };
    const Case cases[] = {
        {"none", "Windows=0\n", {}},
        {"no line", "Breakpoints=1\nBreakpoint1=/a.c\n", {}},
        {"line not a number or below 1",
         "Breakpoints=3\nBreakpoint1=/a.c\nBreakpointLine1=x\nBreakpoint2=/b.c\nBreakpointLine2=0\n"
         "Breakpoint3=/c.c\nBreakpointLine3=4\n",
         {{"/c.c", 4, true, {}}}},
        {"relative or empty path",
         "Breakpoints=2\nBreakpoint1=a.c\nBreakpointLine1=3\nBreakpoint2=\n"
         "BreakpointLine2=3\n",
         {}},
        {"count beyond the entries",
         "Breakpoints=5\nBreakpoint2=/b.c\nBreakpointLine2=9\n",
         {{"/b.c", 9, true, {}}}},
        {"off only when 1",
         "Breakpoints=2\nBreakpoint1=/a.c\nBreakpointLine1=1\nBreakpointOff1=yes\n"
         "Breakpoint2=/a.c\nBreakpointLine2=2\nBreakpointOff2=1\n",
         {{"/a.c", 1, true, {}}, {"/a.c", 2, false, {}}}},
        {"negative count", "Breakpoints=-1\nBreakpoint1=/a.c\nBreakpointLine1=1\n", {}},
    };
    for (const Case& c : cases) {
        const Session read = readSession(SettingsProfile::fromBytes("[Session]\n" + c.section));
        EXPECT_EQ(read.breakpoints, c.expected) << c.name;
    }
    QByteArray many = "[Session]\nBreakpoints=100000\n";
    for (int i = 1; i <= MaxSessionBreakpoints + 5; ++i)
        many += "Breakpoint" + QByteArray::number(i) + "=/f.c\nBreakpointLine" +
                QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    EXPECT_EQ(readSession(SettingsProfile::fromBytes(many)).breakpoints.size(),
              MaxSessionBreakpoints);
}

} // namespace
