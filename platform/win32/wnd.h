// CWnd: a C++ object attached to a window. Messages reach the object's message map either
// through a window procedure put in place by subclassing (controls) or through a dialog
// procedure (CDialog). An exception that escapes a handler is reported, and the message
// then counts as handled.
#pragma once

#include "platform/cstring.h"
#include "platform/win32/gdi.h"
#include "platform/win32/message_map.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Undoes a subclassing that is still in place.
    ~CWnd() override;

    // The object attached to hWnd, or NULL.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Routes hWnd's messages through this object's map; the window's own procedure does
    // the default processing. Undone by itself when the window is destroyed.
    BOOL SubclassWindow(HWND hWnd);
    // SubclassWindow on the child nID of parent.
    BOOL SubclassDlgItem(UINT nID, CWnd* parent);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void GetWindowText(CString& text) const;
    void SetWindowText(LPCTSTR text) { ::SetWindowTextA(m_hWnd, text); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);

    // The default processing of the message being handled.
    LRESULT Default();

    HWND m_hWnd = NULL;

protected:
    // Runs the map's handler for the message, or routes an unmapped command to the
    // application; FALSE when nothing took the message.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // What happens to a message that no handler took, or that a handler passes on.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    void Attach(HWND hWnd);
    void Detach();

    // Handlers whose base behaviour is the default processing.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void UnsubclassWindow();

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    WNDPROC m_pfnSuper = nullptr;
    CurrentMessage m_current{};
};
