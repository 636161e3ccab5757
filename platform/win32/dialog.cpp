#include "platform/win32/dialog.h"

#include "platform/escaped_exception.h"
#include "platform/win32/win_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : NULL;
    CWnd* mainWnd = AfxGetMainWnd();
    if (owner == NULL && mainWnd != nullptr && mainWnd != this)
        owner = mainWnd->m_hWnd;
    return ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnHelpInfo(HELPINFO*)
{
    CWnd* mainWnd = AfxGetMainWnd();
    if (mainWnd != nullptr && mainWnd->m_hWnd != NULL)
        mainWnd->SendMessage(WM_COMMAND, ID_HELP);
    return TRUE;
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM)
{
    m_bPassOn = true;
    return 0;
}

INT_PTR CDialog::HandledResult(HWND hWnd, UINT message, LRESULT result)
{
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        // These answers are the procedure's own return value.
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
        return TRUE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(hWnd);
        BOOL focusFirst = TRUE;
        try {
            focusFirst = dialog->OnInitDialog();
        } catch (...) {
            // The set-up stops where it failed; the dialog still opens.
            ReportEscapedException();
        }
        return focusFirst;
    }

    auto* dialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (dialog == nullptr)
        return FALSE;
    const bool outerPassOn = dialog->m_bPassOn;
    dialog->m_bPassOn = false;
    LRESULT result = 0;
    const bool handled = dialog->OnWndMsg(message, wParam, lParam, &result) && !dialog->m_bPassOn;
    dialog->m_bPassOn = outerPassOn;
    if (message == WM_NCDESTROY)
        dialog->Detach();
    return handled ? HandledResult(hWnd, message, result) : FALSE;
}
