#include "project/ProjectBuildCommands.h"

#include "app/CMainFrame.h"
#include "app/IdeSettings.h"
#include "framework/Application.h"
#include "framework/Prompts.h"
#include "framework/SafeSave.h"
#include "messages/MessageSink.h"
#include "project/CProjectDoc.h"
#include "project/MakefileWriter.h"
#include "project/ProjectJobs.h"
#include "singlefile/InterfaceGccRun.h"
#include "singlefile/MakeRun.h"
#include "tools/PathNames.h"

namespace {

const QString kSaveFirst = QStringLiteral("Please save the project before continuing");

CMainFrame* mainFrame()
{
    fw::Application* app = fw::Application::instance();
    return app ? dynamic_cast<CMainFrame*>(app->mainFrame()) : nullptr;
}

BuildJob jobOf(const CProjectDoc& doc, BuildKind kind = BuildKind::Changed)
{
    const IdeSettings& settings = ideSettings();
    return MakeBuildJob(doc.project(), doc.pathName(), settings.gccPath,
                        settings.clearsBeforeBuild(), kind);
}

} // namespace

void BuildProjectCommand(CProjectDoc& doc, QWidget* parent, bool rebuildAll)
{
    if (ideSettings().gccPath.isEmpty()) {
        fw::messageBox(parent, GccPathMessage());
        return;
    }
    if (doc.pathName().isEmpty()) {
        fw::messageBox(parent, kSaveFirst);
        return;
    }
    if (doc.project().sources.isEmpty()) {
        fw::messageBox(parent, QStringLiteral("there are no files in the project"));
        return;
    }
    // A modified project builds from its current, unsaved record.
    const BuildJob job = jobOf(doc, rebuildAll ? BuildKind::All : BuildKind::Changed);
    if (CMainFrame* frame = mainFrame())
        frame->lastRunCommand = LinkedOutputPath(job);
    StartProjectBuild(job);
}

bool WriteMakefile(CProjectDoc& doc, QWidget* parent, bool clearFirst)
{
    if (doc.pathName().isEmpty()) {
        fw::messageBox(parent, kSaveFirst);
        return false;
    }
    const BuildJob job = jobOf(doc);
    const QString makefile = MakefilePath(job.projectDirectory);
    // Remembered before writing, so also when the writing fails.
    if (CMainFrame* frame = mainFrame())
        frame->lastMakeFile = makefile;
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

void ExportMakefileCommand(CProjectDoc& doc, QWidget* parent)
{
    WriteMakefile(doc, parent, false);
}

void ExportAndMakeCommand(CProjectDoc& doc, QWidget* parent)
{
    const QString makePath = ideSettings().makePath;
    if (makePath.isEmpty()) {
        fw::messageBox(parent, MakePathMessage());
        return;
    }
    if (!WriteMakefile(doc, parent, true))
        return;
    StartExportAndMake(makePath, DirectoryOf(doc.pathName()));
}
