// The manual page (doc/tarn.1) and the AppStream data against the program:
// every option that "tarn --help" prints has an item of its own in the
// page's OPTIONS section, and the page and the metainfo carry the version
// the project is built as.
#include "support/TarnRun.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const char* path)
{
    QFile file(QString::fromLocal8Bit(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

// The options a help text names: "--build" and "--jobs" in
// "  --build P.tarn [--jobs N]", "-j" in "  -j, --jobs N".
QStringList helpOptions(const QString& help)
{
    static const QRegularExpression option(
        QStringLiteral("(?:^|[\\s\\[{|,])(--[a-z0-9][a-z0-9-]*|-[A-Za-z0-9])(?![A-Za-z0-9-])"));
    QStringList options;
    for (const QRegularExpressionMatch& m : option.globalMatch(help)) {
        if (!options.contains(m.captured(1)))
            options << m.captured(1);
    }
    return options;
}

// A roff line as text: the macro name dropped, quotes, font changes and
// zero-width escapes removed, "\-" a hyphen. ".BI \-\-jobs " N"" is "--jobs N".
QString roffText(QString line)
{
    if (line.startsWith(u'.')) {
        const qsizetype blank = line.indexOf(u' ');
        line = blank < 0 ? QString() : line.mid(blank + 1);
    }
    static const QRegularExpression font(QStringLiteral("\\\\f(?:\\[[^\\]]*\\]|\\(..|.)"));
    line.remove(font);
    line.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    line.remove(QStringLiteral("\\&"));
    line.remove(u'"');
    return line.trimmed();
}

// The options the page documents: the words of each item tag (the line
// after ".TP") in section OPTIONS that begin with "-"; "--jobs=N" names
// "--jobs", ".BR \-j , \-\-jobs" both "-j" and "--jobs".
QSet<QString> documentedOptions(const QString& page)
{
    QSet<QString> options;
    bool inOptions = false;
    bool tagNext = false;
    for (const QString& line : page.split(u'\n')) {
        if (line.startsWith(QLatin1String(".SH"))) {
            inOptions = roffText(line) == QLatin1String("OPTIONS");
            tagNext = false;
            continue;
        }
        if (!inOptions)
            continue;
        if (tagNext) {
            tagNext = false;
            static const QRegularExpression separators(QStringLiteral("[\\s,|]+"));
            for (const QString& word : roffText(line).split(separators, Qt::SkipEmptyParts)) {
                const QString name = word.section(u'=', 0, 0);
                if (name.size() > 1 && name.startsWith(u'-'))
                    options.insert(name);
            }
            continue;
        }
        tagNext = line.startsWith(QLatin1String(".TP"));
    }
    return options;
}

QString helpText()
{
    const tarntest::Finished help = tarntest::runTarn({"--help"});
    EXPECT_EQ(help.status, 0);
    return QString::fromUtf8(help.out);
}

} // namespace

TEST(ManualPage, DocumentsEveryOptionThatHelpPrints)
{
    const QStringList printed = helpOptions(helpText());
    // The modes the help has always listed: an empty or changed help text
    // must not pass for a documented one.
    for (const char* known : {"--functions", "--build", "--rebuild", "--jobs", "--export-makefile",
                              "--export-compile-commands", "--help"})
        EXPECT_TRUE(printed.contains(QLatin1String(known))) << known;
    const QSet<QString> documented = documentedOptions(QString::fromUtf8(readAll(TARN_MANPAGE)));
    for (const QString& option : printed)
        EXPECT_TRUE(documented.contains(option))
            << option.toStdString() << " is printed by tarn --help but has no item under OPTIONS in "
            << TARN_MANPAGE;
}

TEST(ManualPage, CarriesTheProjectVersion)
{
    const QString page = QString::fromUtf8(readAll(TARN_MANPAGE));
    static const QRegularExpression th(QStringLiteral("^\\.TH TARN 1 \"[^\"]*\" \"Tarn ([^\"]*)\""),
                                       QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = th.match(page);
    ASSERT_TRUE(m.hasMatch());
    EXPECT_EQ(m.captured(1).toStdString(), TARN_FULL_VERSION);
}

TEST(AppStreamData, NewestReleaseIsTheProjectVersion)
{
    QXmlStreamReader xml(readAll(TARN_METAINFO));
    QString id;
    QStringList releases;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("id"))
            id = xml.readElementText();
        else if (xml.name() == QLatin1String("release"))
            releases << xml.attributes().value(QLatin1String("version")).toString();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    // The file is installed under its id's name, as software centres look for it.
    EXPECT_TRUE(QString::fromLocal8Bit(TARN_METAINFO).endsWith(u'/' + id + ".metainfo.xml"))
        << TARN_METAINFO;
    ASSERT_FALSE(releases.isEmpty());
    EXPECT_EQ(releases.first().toStdString(), TARN_PROJECT_VERSION);
}
