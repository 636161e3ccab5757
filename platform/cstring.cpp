#include "platform/cstring.h"

int CString::ReverseFind(char ch) const
{
    int found = -1;
    for (size_t i = 0; i < m_str.size(); ++i) {
        if (m_str[i] == ch)
            found = static_cast<int>(i);
        else if (IsLeadByteOfCodePage(static_cast<BYTE>(m_str[i])) && i + 1 < m_str.size())
            ++i;
    }
    return found;
}

int CString::Insert(int index, LPCTSTR text)
{
    if (index < 0)
        index = 0;
    const size_t at = static_cast<size_t>(index) > m_str.size() ? m_str.size() : static_cast<size_t>(index);
    m_str.insert(at, text ? text : "");
    return GetLength();
}

BOOL IsLeadByteOfCodePage(BYTE byte)
{
#if defined(_WIN32)
    return ::IsDBCSLeadByte(byte);
#else
    (void)byte;  // the native build works in a single-byte code page
    return FALSE;
#endif
}
