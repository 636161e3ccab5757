#include "platform/win32/win_app.h"

#include "platform/win32/wnd.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_strAppName(lpszAppName) { g_pApp = this; }

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, NULL, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(NULL); }

CString AfxLoadString(UINT nID)
{
    // LoadStringA copies at most the buffer less one; a string table entry is at most
    // 4097 characters.
    char buffer[4098] = {};
    const int length = ::LoadStringA(AfxGetInstanceHandle(), nID, buffer, static_cast<int>(sizeof buffer));
    return CString(buffer, length > 0 ? length : 0);
}

CString AfxModuleBaseName()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string name(path, length < MAX_PATH ? length : MAX_PATH);
    name.erase(0, name.find_last_of("\\/") + 1);  // npos + 1 is 0: no folder
    const std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return CString(std::move(name));
}
