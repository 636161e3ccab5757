#include "platform/win32/gdi.h"

#include "platform/win32/wnd.h"

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont)
{
    DeleteObject();
    m_hFont = ::CreateFontIndirectA(logFont);
    return m_hFont != NULL;
}

void CFont::DeleteObject()
{
    if (m_hFont != NULL)
        ::DeleteObject(m_hFont);
    m_hFont = NULL;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
