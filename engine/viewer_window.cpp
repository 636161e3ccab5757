#include "engine/viewer_window.h"

#include "res/resource_ids.h"

namespace {

constexpr char kClassName[] = "TomeshiftEBookViewer";
constexpr int kListWidth = 200;
constexpr int kMargin = 6;
constexpr int kPageListId = 1;
constexpr int kPageTextId = 2;

HWND CreateChild(HWND parent, LPCSTR className, DWORD style, int id)
{
    const auto menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    HWND child = ::CreateWindowExA(WS_EX_CLIENTEDGE, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                   parent, menuId, NULL, NULL);
    if (child != NULL)
        ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

}  // namespace

BOOL CViewerWindow::Create(HINSTANCE instance, LPCSTR title, int show)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    windowClass.hCursor = ::LoadCursorA(NULL, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kClassName;
    if (::RegisterClassExA(&windowClass) == 0)
        return FALSE;

    // The window finds this object again through the creation parameter (WM_NCCREATE).
    m_hWnd = ::CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, NULL, NULL, instance, this);
    if (m_hWnd == NULL)
        return FALSE;
    ::ShowWindow(m_hWnd, show);
    ::UpdateWindow(m_hWnd);
    return TRUE;
}

LRESULT CALLBACK CViewerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<CViewerWindow*>(create->lpCreateParams);
        self->m_hWnd = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CViewerWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam, lParam) : ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CViewerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kPageListId && HIWORD(wParam) == LBN_SELCHANGE)
            OnSelectPage();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
}

BOOL CViewerWindow::OnCreate()
{
    m_hPageList = CreateChild(m_hWnd, "LISTBOX", WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                              kPageListId);
    m_hPageText = CreateChild(m_hWnd, "EDIT",
                              WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kPageTextId);
    if (m_hPageList == NULL || m_hPageText == NULL)
        return FALSE;
    ::SendMessageA(m_hPageText, EM_SETLIMITTEXT, 0, 0);  // no limit below the system's own
    for (const CPageIndexEntry& page : m_book.GetPages())
        ::SendMessageA(m_hPageList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(page.m_strName.GetString()));
    ::SendMessageA(m_hPageList, LB_SETCURSEL, 0, 0);
    OnSelectPage();
    ::SetFocus(m_hPageList);
    return TRUE;
}

void CViewerWindow::OnSize(int width, int height)
{
    const int inner = height - 2 * kMargin;
    ::MoveWindow(m_hPageList, kMargin, kMargin, kListWidth, inner, TRUE);
    const int textLeft = 2 * kMargin + kListWidth;
    ::MoveWindow(m_hPageText, textLeft, kMargin, width - textLeft - kMargin, inner, TRUE);
}

void CViewerWindow::OnSelectPage()
{
    const LRESULT selected = ::SendMessageA(m_hPageList, LB_GETCURSEL, 0, 0);
    if (selected < 0)
        return;
    const CString text = m_book.GetPageText(static_cast<size_t>(selected));
    ::SetWindowTextA(m_hPageText, text);
}
