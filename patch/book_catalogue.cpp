#include "patch/book_catalogue.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t kPageIdSize = 4;
constexpr std::uint64_t kEntryTrailerSize = 12;  // carried, never interpreted

}  // namespace

BOOL ReadPageIndex(const BYTE* data, DWORD size, std::vector<CPageIndexEntry>& entries)
{
    std::uint64_t position = 0;
    while (position < size) {
        const void* nul = std::memchr(data + position, 0, static_cast<size_t>(size - position));
        if (!nul)
            return FALSE;
        const auto nameLength = static_cast<std::uint64_t>(static_cast<const BYTE*>(nul) - data) - position;
        const std::uint64_t idPosition = position + nameLength + 1;
        if (kPageIdSize > size - idPosition)  // idPosition <= size: the NUL lies in the record
            return FALSE;
        const BYTE* id = data + idPosition;
        CPageIndexEntry entry;
        entry.m_nOffset = static_cast<DWORD>(position);
        entry.m_strName = CString(reinterpret_cast<const char*>(data + position), static_cast<int>(nameLength));
        entry.m_nPageId = static_cast<DWORD>(id[0]) | static_cast<DWORD>(id[1]) << 8 |
                          static_cast<DWORD>(id[2]) << 16 | static_cast<DWORD>(id[3]) << 24;
        entries.push_back(std::move(entry));
        position = idPosition + kPageIdSize + kEntryTrailerSize;
    }
    return TRUE;
}
