// CWinApp: the one application object. The program defines a global object of a class
// derived from it; the entry point (win_main.cpp) finds it, names it after the executable,
// routes message boxes to the main window and calls InitInstance.
#pragma once

#include "platform/cstring.h"
#include "platform/win32/message_map.h"

class CWnd;

#ifndef ID_HELP
#  define ID_HELP 0xE146
#endif

class CWinApp : public CCmdTarget {
public:
    // lpszAppName: the caption of every message box; NULL takes the executable's file name
    // without its extension.
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;

    // Sets the program up; FALSE ends the program without a message loop.
    virtual BOOL InitInstance();
    // The message loop, for a program whose InitInstance returned TRUE; the exit code.
    virtual int Run();

    // Three-dimensional controls are the system's own on every supported Windows.
    static BOOL Enable3dControlsStatic() { return TRUE; }

    HICON LoadIcon(UINT nIDResource) const;
    HCURSOR LoadCursor(UINT nIDResource) const;

    CString m_strAppName;
    CWnd* m_pMainWnd = nullptr;

protected:
    // The Help command: the program ships no help file, so there is nothing to show.
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The program's own module, where every resource is looked up.
HINSTANCE AfxGetInstanceHandle();
// String nID of the program's resources; empty when there is none.
CString AfxLoadString(UINT nID);
// The running executable's file name without folder and extension.
CString AfxModuleBaseName();
