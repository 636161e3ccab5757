#include "patch/record_transfer.h"

#include "patch/book_catalogue.h"
#include "platform/message_box.h"
#include "store/record_keys.h"

namespace {

constexpr char kWrongBookMessage[] =
    "There was an error during reading source E-Book!\nIt may be, if you have chosen wrong source E-Book.";

// A caught exception's text as the message boxes show it: at most 255 characters.
constexpr UINT kMessageBufferSize = 256;

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
        // Closed here rather than on the way out, where a failure would go unheard: a close
        // that fails may have lost what was written.
        destination.Close();
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

    // Each listed page is required; an entry cut short counts as a missing page.
    std::vector<CPageIndexEntry> entries;
    const BOOL complete = ReadPageIndex(index->m_pData.get(), index->m_nSize, entries);
    for (const CPageIndexEntry& entry : entries)
        if (!CopyIfPresent(src, dst, GROUP_PAGES, static_cast<int>(entry.m_nPageId & 0xFFFFu)))
            return FALSE;
    return complete;
}

BOOL CContentCopier::CopyRequiredRecords(const CUpdateFile& src, CUpdateFile& dst)
{
    const CUpdateElem* settings = src.GetRecord(GROUP_BOOK, REC_SETTINGS);
    if (!settings || !IsSettingsSize(settings->m_nSize))
        return FALSE;
    CopyRecord(*settings, dst, GROUP_BOOK, REC_SETTINGS);

    for (const int key : kRequiredBookKeys)
        if (!CopyIfPresent(src, dst, GROUP_BOOK, key))
            return FALSE;
    return TRUE;
}

void CContentCopier::CopyOptionalRecords(const CUpdateFile& src, CUpdateFile& dst)
{
    for (const int key : kOptionalBookKeys)
        CopyIfPresent(src, dst, GROUP_BOOK, key);
}
