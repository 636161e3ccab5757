// CPatcherApp: shows the main dialog and lets the program end when it closes.
#pragma once

#include "platform/win32/win_app.h"

class CPatcherApp : public CWinApp {
public:
    // No name of its own: message boxes bear the executable's name.
    CPatcherApp() : CWinApp(NULL) {}

    // Runs the main dialog modally; FALSE, so no message loop follows and the program ends.
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};
