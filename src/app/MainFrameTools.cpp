// The main frame's single-file tool commands: Link, Make, Run and Debug.
#include "app/CMainFrame.h"

#include "singlefile/CLinkDialog.h"
#include "singlefile/CMakeDialog.h"
#include "singlefile/RunDebugDialogs.h"
#include "settings/IdeContext.h"

void CMainFrame::OnLink()
{
    CLinkDialog dialog(*m_context, this);
    dialog.exec();
}

void CMainFrame::OnMake()
{
    CMakeDialog dialog(*m_context, this);
    dialog.exec();
}

void CMainFrame::OnRunExecutable()
{
    CRunDialog dialog(*m_context, this);
    dialog.exec();
}

void CMainFrame::OnDebug()
{
    CDebugDialog dialog(*m_context, this);
    dialog.exec();
}
