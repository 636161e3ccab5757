// CDialog: a modal dialog built from a template in the program's resources. The system's
// dialog manager calls one dialog procedure, which routes every message to the object's
// message map; a message that no handler takes, or that a handler passes on with
// Default(), gets the dialog manager's own processing once the handler has returned.
#pragma once

#include "platform/win32/data_exchange.h"
#include "platform/win32/wnd.h"

class CDialog : public CWnd {
public:
    // nIDTemplate: the dialog resource; parent: the owner, or NULL for the main window.
    explicit CDialog(UINT nIDTemplate, CWnd* parent = NULL) : m_nIDTemplate(nIDTemplate), m_pParentWnd(parent) {}

    // Runs the dialog until EndDialog; its result, or -1 when it cannot be created.
    virtual INT_PTR DoModal();
    // Moves the members into the controls; TRUE lets the system focus the first tab stop.
    virtual BOOL OnInitDialog();
    // Runs DoDataExchange in the direction given.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // "OK": saves the controls into the members and ends with IDOK.
    virtual void OnOK();
    // "Cancel", Escape and the close box: end with IDCANCEL.
    virtual void OnCancel();
    // F1: the main window gets the Help command.
    BOOL OnHelpInfo(HELPINFO* info);

    // Inside a dialog procedure the default processing is the dialog manager's, which runs
    // after the procedure returns: this marks the message to be passed on.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The dialog procedure's answer for a message that a handler took.
    static INT_PTR HandledResult(HWND hWnd, UINT message, LRESULT result);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bPassOn = false;
};
