#include "platform/win32/wnd.h"

#include "platform/escaped_exception.h"
#include "platform/win32/win_app.h"

#include <vector>

namespace {

// The window property that leads from a window to its C++ object.
constexpr char kObjectProperty[] = "Tomeshift.CWnd";

}  // namespace

CWnd::~CWnd()
{
    if (m_pfnSuper != nullptr && m_hWnd != NULL)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd == NULL ? nullptr : static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty));
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProperty, this);
}

void CWnd::Detach()
{
    if (m_hWnd != NULL)
        ::RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = NULL;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == NULL || m_hWnd != NULL || FromHandlePermanent(hWnd) != nullptr)
        return FALSE;
    Attach(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* parent)
{
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(nID)));
}

void CWnd::UnsubclassWindow()
{
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    LRESULT result = 0;
    if (!wnd->OnWndMsg(message, wParam, lParam, &result))
        result = wnd->DefWindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY)
        wnd->UnsubclassWindow();
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), message, wParam);
    CWinApp* app = AfxGetApp();
    if (entry == nullptr && (message != WM_COMMAND || app == nullptr))
        return FALSE;

    const CurrentMessage outer = m_current;
    m_current = {message, wParam, lParam};
    BOOL handled = TRUE;
    try {
        if (entry != nullptr)
            *pResult = entry->pfn(this, wParam, lParam);
        else
            handled = app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
    } catch (...) {
        ReportEscapedException();
        *pResult = 0;
    }
    m_current = outer;
    return handled;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::GetWindowText(CString& text) const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    text = CString(buffer.data(), got);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnPaint() { Default(); }
