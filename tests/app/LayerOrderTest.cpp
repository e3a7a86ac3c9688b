// The source folders stand in layers: a file includes Tarn's own headers
// only from its own folder and from the folders below it, so no two
// folders depend on each other (a circle would let a change in one reach
// back into itself).
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace {

// Lowest first; a folder may include any folder before it.
const QStringList kLayers = {"framework", "resources", "messages", "tools",    "language", "settings",
                             "editor",    "singlefile", "search",  "project", "debugger", "app"};

} // namespace

TEST(LayerOrder, EachFolderIncludesOnlyTheFoldersBelowIt)
{
    const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s+"([a-z]+)/)"),
                                     QRegularExpression::MultilineOption);
    QStringList seenFolders;
    QStringList wrong;
    QDirIterator files(QStringLiteral(TARN_SOURCE_TREE), {"*.cpp", "*.h"}, QDir::Files,
                       QDirIterator::Subdirectories);
    int checked = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        const QString relative = path.mid(qsizetype(sizeof(TARN_SOURCE_TREE)));
        const QString folder = relative.section(QLatin1Char('/'), 0, 0);
        if (!relative.contains(QLatin1Char('/')))
            continue; // main.cpp stands above every layer
        const qsizetype level = kLayers.indexOf(folder);
        if (level < 0) {
            wrong << relative + QStringLiteral(": its folder has no place in the layers");
            continue;
        }
        if (!seenFolders.contains(folder))
            seenFolders << folder;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (auto it = include.globalMatch(text); it.hasNext();) {
            const QString used = it.next().captured(1);
            if (kLayers.indexOf(used) > level)
                wrong << relative + QStringLiteral(" includes ") + used;
        }
        ++checked;
    }
    EXPECT_EQ(wrong, QStringList());
    // Every layer holds code: the walk found the tree.
    EXPECT_EQ(seenFolders.size(), kLayers.size());
    EXPECT_GT(checked, 200);
}
