#include "platform/win32/data_exchange.h"

#include "platform/win32/wnd.h"

#include <vector>

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    const HWND control = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(control, value);
        return;
    }
    const int length = ::GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    value = CString(buffer.data(), ::GetWindowTextA(control, buffer.data(), length + 1));
}
