#include "ui/hyperlink.h"

#include "platform/win32/win_app.h"
#include "res/resource_ids.h"

#include <shellapi.h>

namespace {

constexpr COLORREF kLinkColour = 0xFF0000;  // COLORREF is 0x00BBGGRR: pure blue

}  // namespace

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL CHyperLink::Init(LPCTSTR address)
{
    if (address != NULL)
        m_strUrl = address;
    else
        GetWindowText(m_strUrl);

    const auto parentFont = reinterpret_cast<HFONT>(::SendMessageA(GetParent(), WM_GETFONT, 0, 0));
    if (parentFont == NULL)
        return FALSE;
    LOGFONTA logFont{};
    ::GetObjectA(parentFont, sizeof logFont, &logFont);
    logFont.lfUnderline = 1;
    if (!m_font.CreateFontIndirect(&logFont))
        return FALSE;

    m_hCursor = AfxGetApp()->LoadCursor(IDC_HAND_CURSOR);
    return TRUE;
}

void CHyperLink::OnPaint()
{
    CPaintDC dc(this);
    const COLORREF oldBackground = dc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    const COLORREF oldText = dc.SetTextColor(kLinkColour);
    const HGDIOBJ oldFont = dc.SelectObject(&m_font);
    CRect rect;
    GetClientRect(&rect);
    CString text;
    GetWindowText(text);
    dc.DrawText(text, &rect, DT_CENTER);
    dc.SetBkColor(oldBackground);
    dc.SetTextColor(oldText);
    dc.SelectObject(oldFont);
}

void CHyperLink::OnLButtonDown(UINT, CPoint)
{
    ::SetCapture(m_hWnd);
    m_bCaptured = TRUE;
    Default();
}

void CHyperLink::OnLButtonUp(UINT, CPoint)
{
    // The release is not checked against the control: holding the capture, the control
    // gets it wherever the pointer is, so a press here then a release anywhere opens.
    if (m_bCaptured) {
        ::ReleaseCapture();
        m_bCaptured = FALSE;
        CWnd* mainWnd = AfxGetMainWnd();
        ::ShellExecuteA(mainWnd != nullptr ? mainWnd->m_hWnd : NULL, "open", m_strUrl, NULL, NULL, SW_SHOWDEFAULT);
    }
    Default();
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(m_hCursor);
    return TRUE;
}
