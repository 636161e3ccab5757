// An e-book as the viewer shows it: the pages that its index lists, in index order, and
// their texts, read from the record tree behind an executable.
#pragma once

#include "engine/page_index.h"
#include "store/container_file.h"

#include <vector>

class CBook {
public:
    // Opens path read-only as a record container, loads its tree and closes the file
    // again. Raises what CUpdateFile::Open raises (CFileException for a file failure,
    // CArchiveException for a damaged tree, CMemoryException).
    void Load(LPCTSTR path);

    // FALSE when the tree lists no page: the program carries no book.
    BOOL HasBook() const { return !m_pages.empty(); }
    const std::vector<CPageEntry>& GetPages() const { return m_pages; }

    // The text of page index (0-based) for a multi-line edit control: line feeds become
    // CR LF and NUL bytes spaces. A page the index lists but the book lacks says so.
    CString GetPageText(size_t index) const;

private:
    CUpdateFile m_file;
    std::vector<CPageEntry> m_pages;
};
