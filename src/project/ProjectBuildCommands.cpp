#include "project/ProjectBuildCommands.h"

#include "settings/IdeSettings.h"
#include "framework/Prompts.h"
#include "framework/SafeSave.h"
#include "messages/MessageSink.h"
#include "project/CProjectDoc.h"
#include "project/MakefileWriter.h"
#include "project/ProjectJobs.h"
#include "tools/PathNames.h"
#include "tools/ToolPathMessages.h"
#include "tools/ToolSession.h"

namespace {

const QString kSaveFirst = QStringLiteral("Please save the project before continuing");

BuildJob jobOf(const CProjectDoc& doc, BuildKind kind = BuildKind::Changed)
{
    const IdeSettings& settings = ideSettings();
    return MakeBuildJob(doc.project(), doc.pathName(), settings.gccPath,
                        settings.clearsBeforeBuild(), kind);
}

} // namespace

int BuildProjectCommand(CProjectDoc& doc, ToolSession& tools, QWidget* parent, bool rebuildAll)
{
    if (ideSettings().gccPath.isEmpty()) {
        fw::messageBox(parent, GccPathMessage());
        return 0;
    }
    if (doc.pathName().isEmpty()) {
        fw::messageBox(parent, kSaveFirst);
        return 0;
    }
    if (doc.project().sources.isEmpty()) {
        fw::messageBox(parent, QStringLiteral("there are no files in the project"));
        return 0;
    }
    // A modified project builds from its current, unsaved record.
    const BuildJob job = jobOf(doc, rebuildAll ? BuildKind::All : BuildKind::Changed);
    tools.lastRunCommand = LinkedOutputPath(job);
    return StartProjectBuild(tools.jobs(), job);
}

bool WriteMakefile(CProjectDoc& doc, ToolSession& tools, QWidget* parent, bool clearFirst)
{
    if (doc.pathName().isEmpty()) {
        fw::messageBox(parent, kSaveFirst);
        return false;
    }
    const BuildJob job = jobOf(doc);
    const QString makefile = MakefilePath(job.projectDirectory);
    // Remembered before writing, so also when the writing fails.
    tools.lastMakeFile = makefile;
    QString error;
    const std::optional<QByteArray> contents = MakefileContents(job, &error);
    if (!contents) {
        AddMessage(error, 1);
        return false;
    }
    if (!fw::saveFileSafely(makefile, *contents, &error)) {
        AddMessage(QStringLiteral("Makefile could not be created"), 1);
        AddMessage(error, 1);
        return false;
    }
    if (clearFirst && ideSettings().clearsBeforeBuild())
        ClearMessages();
    AddMessage(QStringLiteral("Wrote file ") + makefile + QStringLiteral(" successfully"), 1);
    return true;
}

void ExportMakefileCommand(CProjectDoc& doc, ToolSession& tools, QWidget* parent)
{
    WriteMakefile(doc, tools, parent, false);
}

void ExportAndMakeCommand(CProjectDoc& doc, ToolSession& tools, QWidget* parent)
{
    const QString makePath = ideSettings().makePath;
    if (makePath.isEmpty()) {
        fw::messageBox(parent, MakePathMessage());
        return;
    }
    if (!WriteMakefile(doc, tools, parent, true))
        return;
    StartExportAndMake(tools, makePath, DirectoryOf(doc.pathName()));
}
