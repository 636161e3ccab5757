#include "patch/book_check.h"

#include "patch/book_catalogue.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

void RequirePresent(const CUpdateFile& book, int key, std::vector<CBookProblem>& problems)
{
    if (!book.GetRecord(GROUP_BOOK, key))
        problems.push_back({GROUP_BOOK, key, true, "missing record " + RecordName(GROUP_BOOK, key)});
}

std::vector<CPageIndexEntry> ListedPages(const CUpdateFile& book, BOOL* complete)
{
    std::vector<CPageIndexEntry> entries;
    const CUpdateElem* index = book.GetRecord(GROUP_BOOK, REC_PAGE_INDEX);
    *complete = index ? ReadPageIndex(index->m_pData.get(), index->m_nSize, entries) : TRUE;
    return entries;
}

}  // namespace

CString RecordName(int group, int key)
{
    // Appended piece by piece: g++ 12 at -O3 takes "(" + std::string for an overlapping copy.
    std::string name = "(";
    name += std::to_string(group);
    name += ", ";
    name += std::to_string(key);
    name += ')';
    return CString(std::move(name));
}

std::vector<CBookProblem> CheckBook(const CUpdateFile& book)
{
    std::vector<CBookProblem> problems;
    RequirePresent(book, REC_PAGE_INDEX, problems);
    BOOL complete = TRUE;
    for (const CPageIndexEntry& entry : ListedPages(book, &complete)) {
        const int key = static_cast<int>(entry.m_nPageId & 0xFFFFu);
        if (!book.GetRecord(GROUP_PAGES, key))
            problems.push_back({GROUP_PAGES, key, true,
                                "missing page " + RecordName(GROUP_PAGES, key) + " \"" + entry.m_strName +
                                    "\", listed in the page index"});
    }
    if (!complete)
        problems.push_back({GROUP_BOOK, REC_PAGE_INDEX, false,
                            CString("the last entry of the page index (350, 2) is cut short")});

    const CUpdateElem* settings = book.GetRecord(GROUP_BOOK, REC_SETTINGS);
    if (!settings)
        RequirePresent(book, REC_SETTINGS, problems);
    else if (!IsSettingsSize(settings->m_nSize))
        problems.push_back({GROUP_BOOK, REC_SETTINGS, false,
                            CString("the settings (350, 3) are " + std::to_string(settings->m_nSize) +
                                    " bytes long; an e-book's are 80 or 76")});
    for (const int key : kRequiredBookKeys)
        RequirePresent(book, key, problems);
    return problems;
}

std::vector<CRecordKey> DroppedRecords(const CUpdateFile& book)
{
    BOOL complete = TRUE;
    std::vector<int> listed;
    for (const CPageIndexEntry& entry : ListedPages(book, &complete))
        listed.push_back(static_cast<int>(entry.m_nPageId & 0xFFFFu));
    const auto carried = [&](int group, int key) {
        if (group == GROUP_PAGES)
            return std::find(listed.begin(), listed.end(), key) != listed.end();
        if (group != GROUP_BOOK)
            return false;
        return key == REC_PAGE_INDEX || key == REC_SETTINGS ||
               std::find(std::begin(kRequiredBookKeys), std::end(kRequiredBookKeys), key) != std::end(kRequiredBookKeys) ||
               std::find(std::begin(kOptionalBookKeys), std::end(kOptionalBookKeys), key) != std::end(kOptionalBookKeys);
    };

    std::vector<CRecordKey> dropped;
    for (const auto& group : book.m_root.GetChildren()) {
        const auto* dir = static_cast<const CUpdateDir*>(group.get());
        for (const auto& record : dir->GetChildren())
            if (!carried(group->m_nKey, record->m_nKey))
                dropped.push_back({group->m_nKey, record->m_nKey});
    }
    return dropped;
}
