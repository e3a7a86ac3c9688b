#include "singlefile/BrowseFolders.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/MdiMainFrame.h"
#include "settings/IdeContext.h"

#include <QFileInfo>

QString BrowseFolder(const IdeContext& tools, const QString& key, const QString& ownerFile)
{
    const QString last = tools.browseFolders.value(key);
    if (!last.isEmpty())
        return last;
    if (!ownerFile.isEmpty())
        return QFileInfo(ownerFile).absolutePath();
    fw::Application* app = tools.application();
    fw::MdiMainFrame* main = app ? app->mainFrame() : nullptr;
    // The message window has no file: its folder is no hint.
    if (fw::Document* document = main ? main->activeDocument() : nullptr) {
        const QString path = document->pathName();
        if (!path.isEmpty())
            return QFileInfo(path).absolutePath();
    }
    return tools.directory();
}

void RememberBrowseFolder(IdeContext& tools, const QString& key, const QString& chosenPath)
{
    if (!chosenPath.isEmpty())
        tools.browseFolders.insert(key, QFileInfo(chosenPath).absolutePath());
}
