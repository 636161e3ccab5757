// CFileDialog: the system's open or save dialog for one file name.
#pragma once

#include "platform/cstring.h"
#include "platform/types.h"

#include <commdlg.h>

#include <string>

class CWnd;

class CFileDialog {
public:
    // filter: "Name|pattern|Name|pattern||", as the class library writes it.
    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = NULL,
                CWnd* parent = NULL);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The full path the user chose.
    CString GetPathName() const { return CString(m_szFileName); }

    OPENFILENAMEA m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    std::string m_strDefExt;
    std::string m_strFilter;  // NUL-separated, as the system wants it
    char m_szFileName[MAX_PATH] = {};
};

// "A|b|C|d||" as the system's "A\0b\0C\0d\0\0".
std::string AfxFilterToSystemForm(LPCTSTR filter);
