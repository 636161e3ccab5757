// CAboutDlg: the About box, opened from the main dialog's system menu. "OK", Enter,
// Escape and the close box all end it.
#pragma once

#include "platform/win32/dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    DECLARE_MESSAGE_MAP()
};
