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
#include "settings/IdeContext.h"

namespace {

const QString kSaveFirst = QStringLiteral("Please save the project before continuing");

BuildJob jobOf(const CProjectDoc& doc, const IdeSettings& settings, BuildKind kind = BuildKind::Changed)
{
    return MakeBuildJob(doc.project(), doc.pathName(), settings.gccPath,
                        settings.clearsBeforeBuild(), kind);
}

} // namespace

int BuildProjectCommand(CProjectDoc& doc, IdeContext& tools, QWidget* parent, bool rebuildAll)
{
    if (tools.settings().gccPath.isEmpty()) {
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
    const BuildJob job = jobOf(doc, tools.settings(), rebuildAll ? BuildKind::All : BuildKind::Changed);
    tools.lastRunCommand = LinkedOutputPath(job);
    return StartProjectBuild(tools.jobs(), job);
}

bool WriteMakefile(CProjectDoc& doc, IdeContext& tools, QWidget* parent, bool clearFirst)
{
    if (doc.pathName().isEmpty()) {
        fw::messageBox(parent, kSaveFirst);
        return false;
    }
    const BuildJob job = jobOf(doc, tools.settings());
    const QString makefile = MakefilePath(job.projectDirectory);
    // Remembered before writing, so also when the writing fails.
    tools.lastMakeFile = makefile;
    QString error;
    const std::optional<QByteArray> contents = MakefileContents(job, &error);
    if (!contents) {
        tools.messages().add(error, 1);
        return false;
    }
    if (!fw::saveFileSafely(makefile, *contents, &error)) {
        tools.messages().add(QStringLiteral("Makefile could not be created"), 1);
        tools.messages().add(error, 1);
        return false;
    }
    if (clearFirst && tools.settings().clearsBeforeBuild())
        tools.messages().clear();
    tools.messages().add(QStringLiteral("Wrote file ") + makefile + QStringLiteral(" successfully"), 1);
    return true;
}

void ExportMakefileCommand(CProjectDoc& doc, IdeContext& tools, QWidget* parent)
{
    WriteMakefile(doc, tools, parent, false);
}

void ExportAndMakeCommand(CProjectDoc& doc, IdeContext& tools, QWidget* parent)
{
    const QString makePath = tools.settings().makePath;
    if (makePath.isEmpty()) {
        fw::messageBox(parent, MakePathMessage());
        return;
    }
    if (!WriteMakefile(doc, tools, parent, true))
        return;
    StartExportAndMake(tools, makePath, DirectoryOf(doc.pathName()));
}
