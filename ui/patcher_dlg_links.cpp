// The recommended links: their addresses come from the link table behind the program's
// own executable, read once while the dialog sets itself up.
#include "ui/patcher_dlg.h"

void CPatcherDlg::LoadLinks()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(NULL, path, MAX_PATH);
    ReadLinkTable(path, [this](const CString& tag, const CString& address) { SetLinkUrl(tag, address); });
}

void CPatcherDlg::SetLinkUrl(const CString& tag, const CString& address)
{
    SetLinkSlot(m_strUrl, tag, address);
}
