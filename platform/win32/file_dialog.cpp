#include "platform/win32/file_dialog.h"

#include "platform/win32/win_app.h"
#include "platform/win32/wnd.h"

#include <cstring>

std::string AfxFilterToSystemForm(LPCTSTR filter)
{
    std::string text = filter != nullptr ? filter : "";
    for (char& ch : text) {
        if (ch == '|')
            ch = '\0';
    }
    // The list ends with an empty entry: two NULs in a row, whatever the string ended with.
    text.append(2, '\0');
    return text;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* parent)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(parent),
      m_strDefExt(lpszDefExt != nullptr ? lpszDefExt : ""),
      m_strFilter(lpszFilter != nullptr ? AfxFilterToSystemForm(lpszFilter) : "")
{
    if (lpszFileName != nullptr)
        std::strncpy(m_szFileName, lpszFileName, sizeof m_szFileName - 1);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = dwFlags | OFN_ENABLESIZING;
    m_ofn.lpstrDefExt = lpszDefExt != nullptr ? m_strDefExt.c_str() : nullptr;
    m_ofn.lpstrFilter = lpszFilter != nullptr ? m_strFilter.c_str() : nullptr;
    m_ofn.nFilterIndex = 1;
}

INT_PTR CFileDialog::DoModal()
{
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : NULL;
    if (owner == NULL && AfxGetMainWnd() != nullptr)
        owner = AfxGetMainWnd()->m_hWnd;
    m_ofn.hwndOwner = owner;
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}
