// The project window's editing commands: Insert File, Remove File, Touch
// File, Touch All, Set Compile Options and Set Linking Options.
#include "project/CProjectView.h"

#include "settings/IdeContext.h"

#include "framework/Prompts.h"
#include "messages/MessageSink.h"
#include "project/CProjectDoc.h"
#include "project/CProjectLinkDialog.h"
#include "project/ProjectTreeLayout.h"
#include "tools/PathBytes.h"
#include "resources/CommandIds.h"
#include "singlefile/BrowseFolders.h"
#include "tools/AdvancedSheet.h"

#include <QDir>
#include <QFileInfo>

void CProjectView::registerCommands()
{
    onCommand(cmd::InsertFile, [this] { OnInsertFile(); });
    onCommand(cmd::RemoveFile, [this] { OnRemoveFile(); });
    onCommand(cmd::TouchFile, [this] { OnTouchFile(); });
    onCommand(cmd::TouchAll, [this] { OnTouchAll(); });
    onCommand(cmd::SetCompileOptions, [this] { OnSetCompileOptions(); });
    onCommand(cmd::SetLinkingOptions, [this] { OnSetLinkingOptions(); });
}

void CProjectView::OnInsertFile()
{
    CProjectDoc* doc = projectDocument();
    if (!doc)
        return;
    QStringList& sources = doc->project().sources;
    if (sources.size() >= kProjectListCapacity) {
        fw::messageBox(this, QStringLiteral("The project already holds %1 source files, as many "
                                            "as it can hold. Remove one before inserting another.")
                                 .arg(kProjectListCapacity));
        return;
    }
    fw::Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    // The project's folder, or the folder a file was last inserted from.
    const QString key = QStringLiteral("insert into ") + doc->pathName();
    dialog.directory = BrowseFolder(m_tools, key, doc->pathName());
    dialog.filters << QStringLiteral("Source Files (*.*)") << QStringLiteral("All Files (*)");
    const QString chosen = fw::Prompts::current().openFileName(this, dialog);
    RememberBrowseFolder(m_tools, key, chosen);
    if (!chosen.isEmpty()) {
        const QString path = QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
        // Identity is the whole path text, letter case included.
        if (sources.contains(path, Qt::CaseSensitive)) {
            fw::messageBox(this, QStringLiteral("That file already exists in this project"));
            return;
        }
        sources.append(path);
        doc->setModified(true);
    }
    RebuildTree();
}

void CProjectView::OnRemoveFile()
{
    CProjectDoc* doc = projectDocument();
    if (!doc)
        return;
    if (QTreeWidgetItem* node = selectedNode()) {
        // Only a node whose text is a source's path removes anything.
        doc->project().sources.removeAll(node->text(0));
        doc->setModified(true);
    }
    RebuildTree();
}

void CProjectView::OnTouchFile()
{
    QTreeWidgetItem* node = selectedNode();
    QTreeWidgetItem* named = node;
    if (node && node->parent()) {
        if (node->parent()->text(0) == kDependenciesNodeText)
            fw::messageBox(this, QStringLiteral("Note that touching a header file will not "
                                                "affect the building of your project"),
                           fw::Prompts::Icon::Information);
        else
            named = node->parent();
    }
    const QString name = named ? named->text(0) : QString();
    // The "Dependancies" node names no file, whatever the current folder holds.
    const bool isDependenciesNode = named && !named->parent() && name == kDependenciesNodeText;
    if (!isDependenciesNode && SetFileTimesToNow(name))
        m_tools.messages().add(QStringLiteral("Touched file %1 successfully").arg(name), 1);
    else
        m_tools.messages().add(QStringLiteral("Error: Could not touch file ") + name, 1);
}

void CProjectView::OnTouchAll()
{
    const CProjectDoc* doc = projectDocument();
    if (!doc)
        return;
    bool touched = false;
    for (const QString& source : doc->project().sources)
        touched = SetFileTimesToNow(source) || touched;
    m_tools.messages().add(touched ? QStringLiteral("Touched all files successfully")
                       : QStringLiteral("Error while touching files"),
               1);
}

void CProjectView::OnSetCompileOptions()
{
    CProjectDoc* doc = projectDocument();
    if (!doc)
        return;
    CompileOptions options = doc->project().options;
    if (!EditCompileOptions(this, options))
        return;
    doc->project().options = options;
    fw::messageBox(this,
                   QStringLiteral("Note: If you have changed the overall build options for this "
                                  "project, remember to rebuild all the sources to register the "
                                  "effect\n"),
                   fw::Prompts::Icon::Information);
    doc->setModified(true);
}

void CProjectView::OnSetLinkingOptions()
{
    CProjectDoc* doc = projectDocument();
    if (!doc)
        return;
    ProjectFile& project = doc->project();
    CProjectLinkDialog dialog(this);
    dialog.libraryCount = int(project.libraries.size());
    dialog.libraries = project.libraries;
    dialog.outputName = project.outputName.isEmpty() ? doc->pathName() : project.outputName;
    const qsizetype dot = dialog.outputName.lastIndexOf(QLatin1Char('.'));
    dialog.outputExtension = dot < 0 ? QString() : dialog.outputName.mid(dot + 1);
    if (dialog.exec() != QDialog::Accepted)
        return;
    project.libraries = dialog.libraries.mid(0, dialog.libraryCount);
    project.outputName = dialog.outputName;
    doc->setModified(true);
}
