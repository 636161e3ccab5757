// The program's entry point: the global application object is set up and its
// InitInstance decides whether a message loop follows.
#include "platform/message_box.h"
#include "platform/win32/win_app.h"
#include "platform/win32/wnd.h"

namespace {

// Message boxes are owned by the main window and bear the application's name.
int ShowMessageBox(LPCTSTR text, UINT flags)
{
    CWnd* mainWnd = AfxGetMainWnd();
    const HWND owner = mainWnd != nullptr ? mainWnd->m_hWnd : NULL;
    return ::MessageBoxA(owner, text, AfxGetApp()->m_strAppName, flags);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    if (app->m_strAppName.IsEmpty())
        app->m_strAppName = AfxModuleBaseName();
    SetMessageBoxSink(ShowMessageBox);
    return app->InitInstance() ? app->Run() : 0;
}
