// The main frame's single-file tool commands: Link, Make, Run and Debug.
#include "app/CMainFrame.h"

#include "singlefile/CLinkDialog.h"
#include "singlefile/CMakeDialog.h"
#include "singlefile/RunDebugDialogs.h"

void CMainFrame::OnLink()
{
    CLinkDialog dialog(this);
    dialog.exec();
}

void CMainFrame::OnMake()
{
    CMakeDialog dialog(lastMakeFile, this);
    dialog.exec();
}

void CMainFrame::OnRunExecutable()
{
    CRunDialog dialog(lastRunCommand, lastRunArguments, this);
    dialog.exec();
}

void CMainFrame::OnDebug()
{
    CDebugDialog dialog(this);
    dialog.exec();
}
