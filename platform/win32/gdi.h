// Points, rectangles, fonts and device contexts: thin wrappers that own what they create.
#pragma once

#include "platform/cstring.h"
#include "platform/types.h"

class CWnd;

struct CPoint : POINT {
    CPoint(int xPos, int yPos) : POINT{xPos, yPos} {}
    // The signed client coordinates that mouse messages pack into lParam.
    static CPoint FromLParam(LPARAM lParam)
    {
        return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    }
};

struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Owns one GDI font; deleted with the object.
class CFont {
public:
    CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    ~CFont() { DeleteObject(); }

    // Creates the font described by logFont in place of the one held; FALSE when the
    // system creates none.
    BOOL CreateFontIndirect(const LOGFONTA* logFont);
    void DeleteObject();
    HFONT GetSafeHandle() const { return m_hFont; }

private:
    HFONT m_hFont = NULL;
};

// A device context that someone else owns: the calls the controls draw with.
class CDC {
public:
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectObject(const CFont* font) { return SelectObject(font->GetSafeHandle()); }
    int DrawText(const CString& text, RECT* rect, UINT format)
    {
        return ::DrawTextA(m_hDC, text, text.GetLength(), rect, format);
    }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

protected:
    CDC() = default;

    HDC m_hDC = NULL;
};

// BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};
