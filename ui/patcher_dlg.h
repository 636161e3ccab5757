// CPatcherDlg: the main dialog. The path of the e-book to patch, a browse button, the
// patch button, and four recommended links whose addresses come from the link table
// behind the program's own executable.
#pragma once

#include "patch/record_transfer.h"
#include "platform/win32/dialog.h"
#include "ui/hyperlink.h"
#include "ui/link_table.h"

class CPatcherDlg : public CDialog {
public:
    explicit CPatcherDlg(CWnd* parent = NULL);

    BOOL OnInitDialog() override;

    // Upgrades the book named in the edit field.
    void OnPatch();
    // Turns path, the book's path, into the new path and writes the template there.
    BOOL WriteTemplate(CString& path);

    // Reads the link table behind the running executable into m_strUrl.
    void LoadLinks();
    // Stores address in the slot that tag names; other tags are ignored.
    void SetLinkUrl(const CString& tag, const CString& address);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnBrowse();

    DECLARE_MESSAGE_MAP()

private:
    CString m_strPath;
    HICON m_hIcon;  // a shared resource handle: never destroyed
    CContentCopier m_copier;
    CHyperLink m_links[kLinkCount];
    CString m_strUrl[kLinkCount];
};
