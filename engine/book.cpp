#include "engine/book.h"

#include "store/record_keys.h"

void CBook::Load(LPCTSTR path)
{
    m_file.Open(path, TRUE);
    m_file.Close();  // the tree stays in memory; the program file need not stay open
    m_pages.clear();
    const CUpdateElem* index = m_file.GetRecord(GROUP_BOOK, REC_PAGE_INDEX);
    if (index != NULL)
        ReadPageIndex(index->m_pData.get(), index->m_nSize, m_pages);  // a cut-off tail is left out
}

CString CBook::GetPageText(size_t index) const
{
    if (index >= m_pages.size())
        return CString();
    const CUpdateElem* page = m_file.GetRecord(GROUP_PAGES, static_cast<WORD>(m_pages[index].m_nPageId));
    if (page == NULL)
        return CString("(This page is missing from the book.)");
    std::string text;
    text.reserve(page->m_nSize);
    char previous = 0;
    for (DWORD i = 0; i < page->m_nSize; ++i) {
        const char ch = static_cast<char>(page->m_pData[i]);
        if (ch == '\n' && previous != '\r')
            text += '\r';
        text += ch == '\0' ? ' ' : ch;
        previous = ch;
    }
    return CString(std::move(text));
}
