#include "cli/book_report.h"

#include "platform/exceptions.h"
#include "platform/file.h"
#include "store/container_file.h"

namespace {

constexpr UINT kMessageChars = 512;  // as an escaped error is shown

std::vector<CGroupReport> DescribeTree(const CUpdateDir& root)
{
    std::vector<CGroupReport> groups;
    for (const auto& group : root.GetChildren()) {
        CGroupReport report;
        report.m_nKey = group->m_nKey;
        for (const auto& record : static_cast<const CUpdateDir&>(*group).GetChildren())
            report.m_records.push_back(
                {record->m_nKey, record->m_nSize, record->IsKindOf(RUNTIME_CLASS(CUpdateDir))});
        groups.push_back(std::move(report));
    }
    return groups;
}

}  // namespace

CBookReport InspectBook(const CString& path, const CString& templatePath)
{
    CBookReport report;
    report.m_strPath = path;

    CUpdateFile book;
    try {
        book.Open(path, TRUE);
    } catch (CFileException& e) {
        if (!book.m_pFile)
            throw;  // not even opened: nothing to inspect
        report.m_loadError = CLoadError{e.GetErrorMessageText(kMessageChars), book.m_nLoadEnd};
    } catch (CArchiveException& e) {
        report.m_loadError = CLoadError{e.GetErrorMessageText(kMessageChars), book.m_nLoadEnd};
    } catch (CMemoryException& e) {
        report.m_loadError = CLoadError{e.GetErrorMessageText(kMessageChars), book.m_nLoadEnd};
    }
    report.m_nFileSize = book.m_pFile->GetLength();
    report.m_nBaseOffset = book.m_pFile->m_nBaseOffset;
    // Without a trailer the base offset is the file's length and nothing was loaded.
    report.m_bTrailer = report.m_nBaseOffset != report.m_nFileSize || report.m_loadError.has_value();
    if (report.m_bTrailer && report.m_nFileSize >= CUpdateFile::kTrailerSize &&
        report.m_nBaseOffset <= report.m_nFileSize - CUpdateFile::kTrailerSize)
        report.m_nTreeSize = report.m_nFileSize - CUpdateFile::kTrailerSize - report.m_nBaseOffset;
    report.m_groups = DescribeTree(book.m_root);
    if (!report.m_loadError) {
        report.m_problems = CheckBook(book);
        report.m_dropped = DroppedRecords(book);
    }
    book.Close();

    report.m_icons = InspectIcons(path, templatePath);
    return report;
}
