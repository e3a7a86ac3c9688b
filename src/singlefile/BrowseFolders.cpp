#include "singlefile/BrowseFolders.h"

#include "app/CMainFrame.h"
#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/MdiMainFrame.h"
#include "tools/ToolDirectory.h"

#include <QFileInfo>

namespace {

// The main window keeps them, so they last as long as it does.
QHash<QString, QString>* lastFolders()
{
    fw::Application* app = fw::Application::instance();
    auto* main = app ? dynamic_cast<CMainFrame*>(app->mainFrame()) : nullptr;
    return main ? &main->browseFolders : nullptr;
}

} // namespace

QString BrowseFolder(const QString& key, const QString& ownerFile)
{
    if (const QHash<QString, QString>* folders = lastFolders()) {
        const QString last = folders->value(key);
        if (!last.isEmpty())
            return last;
    }
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
    QHash<QString, QString>* folders = lastFolders();
    if (folders && !chosenPath.isEmpty())
        folders->insert(key, QFileInfo(chosenPath).absolutePath());
}
