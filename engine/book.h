// An e-book as the viewer shows it: the pages that its index lists, in index order, and
// their texts, read from the record tree behind an executable.
#pragma once

#include "patch/book_catalogue.h"
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
    // The pages that the index lists whole, in index order; a last entry cut short before
    // the end of its page id is left out.
    const std::vector<CPageIndexEntry>& GetPages() const { return m_pages; }

    // The text of page index (0-based), record (349, low 16 bits of its id), for a
    // multi-line edit control: line feeds become CR LF and NUL bytes spaces. A page the
    // index lists but the book lacks says so.
    CString GetPageText(size_t index) const;

private:
    CUpdateFile m_file;
    std::vector<CPageIndexEntry> m_pages;
};
