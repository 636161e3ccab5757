#include "engine/page_index.h"

#include <cstring>

namespace {

constexpr DWORD kIdSize = 4;
constexpr DWORD kTrailingSize = 12;

}  // namespace

std::vector<CPageEntry> ParsePageIndex(const BYTE* data, DWORD size)
{
    std::vector<CPageEntry> pages;
    DWORD pos = 0;
    while (pos < size) {
        const void* nul = std::memchr(data + pos, 0, size - pos);
        if (nul == NULL)
            break;
        const DWORD nameLength = static_cast<DWORD>(static_cast<const BYTE*>(nul) - (data + pos));
        const DWORD idPos = pos + nameLength + 1;
        if (kIdSize > size - idPos)  // idPos <= size: the NUL lies inside the record
            break;
        const DWORD id = static_cast<DWORD>(data[idPos]) | static_cast<DWORD>(data[idPos + 1]) << 8 |
                         static_cast<DWORD>(data[idPos + 2]) << 16 | static_cast<DWORD>(data[idPos + 3]) << 24;
        CPageEntry entry;
        entry.m_strName = CString(reinterpret_cast<const char*>(data + pos), static_cast<int>(nameLength));
        entry.m_nKey = static_cast<WORD>(id & 0xFFFFu);
        pages.push_back(std::move(entry));
        const DWORD rest = size - idPos - kIdSize;
        if (kTrailingSize >= rest)
            break;
        pos = idPos + kIdSize + kTrailingSize;
    }
    return pages;
}
