#include "patch/record_transfer.h"

#include "platform/message_box.h"
#include "store/record_keys.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char kWrongBookMessage[] =
    "There was an error during reading source E-Book!\nIt may be, if you have chosen wrong source E-Book.";

// A caught exception's text as the message boxes show it: at most 255 characters.
constexpr UINT kMessageBufferSize = 256;

// Bytes of an index entry behind its page id that the transfer carries but never reads.
constexpr std::uint64_t kEntryTrailerSize = 12;
constexpr std::uint64_t kPageIdSize = 4;

std::unique_ptr<CObject> CreateEBookDataException() { return std::make_unique<CEBookDataException>(); }

void CopyRecord(const CUpdateElem& record, CUpdateFile& dst, int group, int key)
{
    dst.SetRecord(group, key, record.m_pData.get(), record.m_nSize);
}

// Copies (group, key) when the source has it; FALSE when it does not.
BOOL CopyIfPresent(const CUpdateFile& src, CUpdateFile& dst, int group, int key)
{
    const CUpdateElem* record = src.GetRecord(group, key);
    if (!record)
        return FALSE;
    CopyRecord(*record, dst, group, key);
    return TRUE;
}

}  // namespace

const CRuntimeClass CEBookDataException::classCEBookDataException = {
    "CEBookDataException", 0xFFFF, CreateEBookDataException, &CException::classCException};

const CRuntimeClass* CEBookDataException::GetRuntimeClass() const { return &classCEBookDataException; }

BOOL CContentCopier::CopyContent(const CString& srcPath, const CString& dstPath)
{
    // Declared source first, so the destination is closed first on every way out.
    CUpdateFile source;
    CUpdateFile destination;

    bool openFailed = false;
    CString failure;
    try {
        source.Open(srcPath, TRUE);
        destination.Open(dstPath, FALSE);
    } catch (CFileException& e) {
        openFailed = true;
        failure = e.GetErrorMessageText(kMessageBufferSize);
    }
    if (openFailed) {
        AfxMessageBox(failure, MB_ICONERROR);
        return FALSE;
    }

    bool wrongBook = false;
    try {
        if (!CopyPages(source, destination))
            throw CEBookDataException();
        if (!CopyRequiredRecords(source, destination))
            throw CEBookDataException();
        CopyOptionalRecords(source, destination);
        destination.Save();
    } catch (CEBookDataException&) {
        wrongBook = true;
    }
    if (wrongBook) {
        AfxMessageBox(kWrongBookMessage, MB_ICONERROR);
        return FALSE;
    }
    return TRUE;
}

BOOL CContentCopier::CopyPages(const CUpdateFile& src, CUpdateFile& dst)
{
    const CUpdateElem* index = src.GetRecord(GROUP_BOOK, REC_PAGE_INDEX);
    if (!index)
        return FALSE;
    CopyRecord(*index, dst, GROUP_BOOK, REC_PAGE_INDEX);

    // Entries lie back to back: a NUL-terminated name, a 4-byte page id, 12 more bytes.
    // A last entry whose name or id the record cuts off counts as a missing page.
    const BYTE* bytes = index->m_pData.get();
    const std::uint64_t size = index->m_nSize;
    std::uint64_t position = 0;
    while (position < size) {
        const void* nul = std::memchr(bytes + position, 0, static_cast<size_t>(size - position));
        if (!nul)
            return FALSE;
        const std::uint64_t idPosition = static_cast<std::uint64_t>(static_cast<const BYTE*>(nul) - bytes) + 1;
        if (idPosition > size || kPageIdSize > size - idPosition)
            return FALSE;
        const BYTE* id = bytes + idPosition;
        const DWORD pageId = static_cast<DWORD>(id[0]) | static_cast<DWORD>(id[1]) << 8 |
                             static_cast<DWORD>(id[2]) << 16 | static_cast<DWORD>(id[3]) << 24;
        position = idPosition + kPageIdSize + kEntryTrailerSize;

        // Page records are keyed by the id's low 16 bits.
        if (!CopyIfPresent(src, dst, GROUP_PAGES, static_cast<int>(pageId & 0xFFFFu)))
            return FALSE;
    }
    return TRUE;
}

BOOL CContentCopier::CopyRequiredRecords(const CUpdateFile& src, CUpdateFile& dst)
{
    const CUpdateElem* settings = src.GetRecord(GROUP_BOOK, REC_SETTINGS);
    if (!settings || (settings->m_nSize != 80 && settings->m_nSize != 76))
        return FALSE;
    CopyRecord(*settings, dst, GROUP_BOOK, REC_SETTINGS);

    for (const int key : {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16})
        if (!CopyIfPresent(src, dst, GROUP_BOOK, key))
            return FALSE;
    return TRUE;
}

void CContentCopier::CopyOptionalRecords(const CUpdateFile& src, CUpdateFile& dst)
{
    for (const int key : {REC_LINK_TABLE, 18, 15})
        CopyIfPresent(src, dst, GROUP_BOOK, key);
}
