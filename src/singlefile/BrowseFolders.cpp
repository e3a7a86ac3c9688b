#include "singlefile/BrowseFolders.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/MdiMainFrame.h"
#include "tools/ToolDirectory.h"

#include <QFileInfo>
#include <QHash>

namespace {

QHash<QString, QString>& lastFolders()
{
    static QHash<QString, QString> folders;
    return folders;
}

} // namespace

QString BrowseFolder(const QString& key, const QString& ownerFile)
{
    const QString last = lastFolders().value(key);
    if (!last.isEmpty())
        return last;
    if (!ownerFile.isEmpty())
        return QFileInfo(ownerFile).absolutePath();
    fw::Application* app = fw::Application::instance();
    fw::MdiMainFrame* main = app ? app->mainFrame() : nullptr;
    // The message window has no file: its folder is no hint.
    if (fw::Document* document = main ? main->activeDocument() : nullptr) {
        const QString path = document->pathName();
        if (!path.isEmpty())
            return QFileInfo(path).absolutePath();
    }
    return toolDirectory();
}

void RememberBrowseFolder(const QString& key, const QString& chosenPath)
{
    if (!chosenPath.isEmpty())
        lastFolders().insert(key, QFileInfo(chosenPath).absolutePath());
}
