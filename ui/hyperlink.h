// CHyperLink: a dialog's static text turned into a web link. Drawn blue and underlined,
// it shows the hand cursor and hands its address to the shell when clicked.
#pragma once

#include "platform/win32/gdi.h"
#include "platform/win32/static.h"

class CHyperLink : public CStatic {
public:
    CHyperLink() = default;

    // Call once the control is subclassed. address NULL takes the control's own text.
    // FALSE when the parent has no font or the underlined copy cannot be made.
    BOOL Init(LPCTSTR address);

protected:
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT nHitTest, UINT message);

    DECLARE_MESSAGE_MAP()

private:
    CFont m_font;  // underlined copy of the parent's font
    CString m_strUrl;
    BOOL m_bCaptured = FALSE;
    HCURSOR m_hCursor = NULL;  // shared resource handle: never destroyed
};
