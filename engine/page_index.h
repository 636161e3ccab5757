// The page index of an e-book, record (350, 2): entries back to back, each a NUL-terminated
// page name, a 4-byte little-endian page id and 12 bytes that the viewer passes over.
#pragma once

#include "platform/cstring.h"

#include <vector>

struct CPageEntry {
    CString m_strName;
    WORD m_nKey = 0;  // key of the page record (349, key): the id's low 16 bits
};

// The entries in index order. The walk never reads past size: it stops at an entry whose
// name or id would run past the end; an entry whose 12 trailing bytes are cut short counts.
std::vector<CPageEntry> ParsePageIndex(const BYTE* data, DWORD size);
