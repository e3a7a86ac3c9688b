// The project window's editing commands: Insert File, Insert Folder, Remove
// File, Touch File, Touch All, Set Compile Options and Set Linking Options.
#include "project/CProjectView.h"

#include "settings/IdeContext.h"

#include "framework/Prompts.h"
#include "messages/MessageSink.h"
#include "project/CProjectDoc.h"
#include "project/CProjectLinkDialog.h"
#include "project/FolderSources.h"
#include "project/InsertFolderDialog.h"
#include "framework/MdiMainFrame.h"
#include "search/FindMatcher.h"
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
    onCommand(cmd::InsertFolder, [this] { OnInsertFolder(); });
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
    // Several files may be chosen at once.
    const QStringList chosen = fw::Prompts::current().openFileNames(this, dialog);
    if (!chosen.isEmpty())
        RememberBrowseFolder(m_tools, key, chosen.first());
    QStringList paths;
    for (const QString& file : chosen)
        paths << QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    if (paths.size() == 1) {
        // Identity is the whole path text, letter case included.
        if (sources.contains(paths.first(), Qt::CaseSensitive)) {
            fw::messageBox(this, QStringLiteral("That file already exists in this project"));
            return;
        }
    }
    const FolderInsertion plan = PlanFolderInsertion(sources, paths, kProjectListCapacity);
    if (!plan.added.isEmpty()) {
        sources += plan.added;
        doc->setModified(true);
    }
    if (plan.left > 0)
        fw::messageBox(this, QStringLiteral("%1 of the files chosen were not inserted: the project holds "
                                            "at most %2 source files.")
                                 .arg(plan.left)
                                 .arg(kProjectListCapacity));
    RebuildTree();
}

void CProjectView::OnInsertFolder(const QString& folder)
{
    CProjectDoc* doc = projectDocument();
    if (!doc)
        return;
    if (doc->project().sources.size() >= kProjectListCapacity) {
        fw::messageBox(this, QStringLiteral("The project already holds %1 source files, as many "
                                            "as it can hold. Remove one before inserting another.")
                                 .arg(kProjectListCapacity));
        return;
    }
    QString start = folder;
    if (start.isEmpty())
        start = doc->pathName().isEmpty() ? m_tools.directory() : QFileInfo(doc->pathName()).absolutePath();
    while (start.size() > 1 && start.endsWith(QLatin1Char('/')))
        start.chop(1);
    InsertFolderDialog dialog(start, m_folderPatterns, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_folderPatterns = dialog.patterns();
    insertFolderFiles(QDir::cleanPath(QFileInfo(dialog.folder()).absoluteFilePath()), dialog.patterns());
}

void CProjectView::insertFolderFiles(const QString& folder, const QString& patterns)
{
    CProjectDoc* doc = projectDocument();
    QStringList& sources = doc->project().sources;
    // Far more than a project holds, so the message can say how many did
    // not fit; bounded, so a huge tree cannot take all memory.
    constexpr qsizetype kLooked = 100 * kProjectListCapacity;
    const FolderSources found = FindFolderSources(folder, SplitFilePatterns(patterns), kLooked);
    const FolderInsertion plan = PlanFolderInsertion(sources, found.files, kProjectListCapacity);
    if (!plan.added.isEmpty()) {
        sources += plan.added;
        doc->setModified(true);
    }
    QStringList said;
    if (found.files.isEmpty())
        said << QStringLiteral("No file of %1 fits \"%2\".").arg(PathForDisplay(folder), patterns);
    if (plan.left > 0 || found.cut)
        said << QStringLiteral("%1%2 files were not inserted: the project holds at most %3 source files.")
                    .arg(plan.left)
                    .arg(found.cut ? QStringLiteral(" or more") : QString())
                    .arg(kProjectListCapacity);
    if (found.unreadableFolders > 0)
        said << QStringLiteral("%1 folders could not be read.").arg(found.unreadableFolders);
    if (fw::MdiMainFrame* main = mainFrame())
        main->showLastingStatus(QStringLiteral("%1 files inserted from %2").arg(plan.added.size()).arg(PathForDisplay(folder)),
                                10000);
    if (!said.isEmpty())
        fw::messageBox(this, said.join(QLatin1Char('\n')));
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
