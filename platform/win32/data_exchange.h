// Moving data between a dialog's controls and its members (UpdateData, DoDataExchange).
#pragma once

#include "platform/cstring.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(dlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// The text of control nIDC to value (saving), or value into the control; no length limit.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
