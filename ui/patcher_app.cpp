#include "ui/patcher_app.h"

#include "ui/patcher_dlg.h"

BEGIN_MESSAGE_MAP(CPatcherApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one application object, there before the entry point runs.
CPatcherApp theApp;

BOOL CPatcherApp::InitInstance()
{
    Enable3dControlsStatic();
    CPatcherDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
