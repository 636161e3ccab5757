// What `tomeshift-cli inspect` finds out about a file, before it is shown as text or JSON.
#pragma once

#include "cli/icon_report.h"
#include "patch/book_check.h"
#include "platform/cstring.h"

#include <optional>
#include <vector>

struct CRecordReport {
    int m_nKey = 0;
    DWORD m_nSize = 0;
    bool m_bDirectory = false;
};

struct CGroupReport {
    int m_nKey = 0;
    std::vector<CRecordReport> m_records;
};

struct CLoadError {
    CString m_strText;  // the text the dialog would show
    DWORD m_nOffset = 0;  // file offset where loading stopped
};

struct CBookReport {
    CString m_strPath;
    DWORD m_nFileSize = 0;
    bool m_bTrailer = false;
    DWORD m_nBaseOffset = 0;
    DWORD m_nTreeSize = 0;  // bytes from the base offset to the trailer
    std::optional<CLoadError> m_loadError;
    std::vector<CGroupReport> m_groups;  // in list order; what was read before a failure
    std::vector<CBookProblem> m_problems;
    std::vector<CRecordKey> m_dropped;
    CIconReport m_icons;

    bool IsEBook() const { return !m_loadError && m_problems.empty(); }
};

// Reads the file at path as a record container and as an executable image, and checks its
// icon images against the template engine at templatePath. A file that cannot be opened at
// all raises CFileException; a damaged tree is reported in the result.
CBookReport InspectBook(const CString& path, const CString& templatePath);
