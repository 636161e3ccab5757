#include "ui/link_table.h"

#include "platform/exceptions.h"
#include "platform/message_box.h"
#include "store/container_file.h"
#include "store/record_keys.h"

#include <cstring>

namespace {

constexpr UINT kMessageBufferSize = 256;

// The NUL-terminated string at offset, which advances past its NUL; FALSE when the
// string has no NUL before size.
BOOL TakeString(const BYTE* data, DWORD size, DWORD& offset, CString& text)
{
    const void* nul = std::memchr(data + offset, '\0', size - offset);
    if (nul == nullptr)
        return FALSE;
    const auto length = static_cast<DWORD>(static_cast<const BYTE*>(nul) - (data + offset));
    text = CString(reinterpret_cast<const char*>(data + offset), static_cast<int>(length));
    offset += length + 1;
    return TRUE;
}

}  // namespace

const char* const kLinkTags[kLinkCount] = {
    "<%BESTSELLING%>",
    "<%COVERGRAPHICS%>",
    "<%MORETRAFFIC%>",
    "<%MARKETING%>",
};

namespace {

int LinkSlotOfTag(LPCTSTR tag)
{
    for (int slot = 0; slot < kLinkCount; ++slot) {
        if (std::strcmp(tag, kLinkTags[slot]) == 0)
            return slot;
    }
    return -1;
}

}  // namespace

void SetLinkSlot(CString (&urls)[kLinkCount], const CString& tag, const CString& address)
{
    const int slot = LinkSlotOfTag(tag);
    if (slot >= 0)
        urls[slot] = address;
}

void WalkLinkTable(const BYTE* data, DWORD size, const LinkPairHandler& handler)
{
    DWORD offset = 0;
    while (offset < size) {
        CString tag;
        CString address;
        if (!TakeString(data, size, offset, tag) || offset >= size || !TakeString(data, size, offset, address))
            return;
        handler(tag, address);
    }
}

void ReadLinkTable(LPCTSTR path, const LinkPairHandler& handler)
{
    CUpdateFile file;
    bool opened = false;
    CString failure;
    try {
        file.Open(path, TRUE);
        opened = true;
    } catch (CFileException& e) {
        failure = e.GetErrorMessageText(kMessageBufferSize);
    }
    if (!opened) {
        AfxMessageBox(failure, MB_ICONERROR);
        return;
    }
    const CUpdateElem* record = file.GetRecord(GROUP_BOOK, REC_LINK_TABLE);
    if (record != nullptr && record->m_nSize > 0)
        WalkLinkTable(record->m_pData.get(), record->m_nSize, handler);
}

std::vector<BYTE> BuildLinkTable(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    std::vector<BYTE> bytes;
    for (const auto& [tag, address] : pairs) {
        bytes.insert(bytes.end(), tag.begin(), tag.end());
        bytes.push_back(0);
        bytes.insert(bytes.end(), address.begin(), address.end());
        bytes.push_back(0);
    }
    return bytes;
}
